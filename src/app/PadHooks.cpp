// The main window's side of the pad markers and the pad dialog.

#include "app/F.h"

namespace korvane {

void F::ApplySelectionColour(std::int32_t) {}
void F::PlacePadFromFile(const PadRecord&) {}
void F::ClearPadData() {}
void F::AddPoint(bool) {}

}  // namespace korvane
