#pragma once

// How a pane shows its picture: a zoom factor (displayed pixels per picture pixel) and an origin (the
// displayed pixel at the pane's top-left corner). Every conversion between the mouse and the picture
// goes through here, so that hit tests, tool tips, drags and the fill seed agree at every zoom.

namespace korvane {

// Zoom steps are the powers of the square root of two from 1/32 to 32; "fit" may lie between them.
constexpr double kMinZoom = 1.0 / 32;
constexpr double kMaxZoom = 32;

double ClampZoom(double zoom);
// The next step above (below) `zoom`; a zoom between steps goes to the neighbouring step, and the ends
// of the range stay where they are.
double ZoomInStep(double zoom);
double ZoomOutStep(double zoom);
// The largest zoom at which the whole picture fits the pane, within the zoom range.
double FitZoom(double pictureWidth, double pictureHeight, double paneWidth, double paneHeight);

// A side of the picture as displayed: whole displayed pixels, at least one for a picture that has any.
int DisplayedExtent(int pictureExtent, double zoom);

// The 16-bit scroll bars count displayed pixels in steps of this many: 1 whenever a bar can count each
// displayed pixel, which is every picture of up to 32767 pixels at 1:1.
int ScrollUnit(double displayedExtent, double paneExtent);

struct ViewPoint {
    double x = 0;
    double y = 0;
};

struct ViewTransform {
    double zoom = 1;
    double originX = 0;
    double originY = 0;

    ViewPoint toPicture(ViewPoint pane) const {
        return {(pane.x + originX) / zoom, (pane.y + originY) / zoom};
    }
    ViewPoint toPane(ViewPoint picture) const {
        return {picture.x * zoom - originX, picture.y * zoom - originY};
    }
    // Changes the zoom so that the picture point under `anchor` (pane coordinates) stays under it.
    void zoomAbout(double to, ViewPoint anchor);
};

}  // namespace korvane
