// The main window's side of the flood fill and the traces.

#include "app/F.h"

namespace korvane {

void F::StartFill(int, int, int) {}
bool F::FillConfirmationVisible() const {
    return false;
}
void F::ShowTracesWindowIfHidden() {}
void F::DrawAllTraces() {}

}  // namespace korvane
