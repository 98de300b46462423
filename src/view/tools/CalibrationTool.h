#pragma once

// Calibration of the cursor scales: while the scale wizard is open the cursors are placed one picture at
// a time (CursorDragTool moves only the picture's own cursor), and the wizard cannot be started twice.

namespace korvane {

class CalibrationTool {
  public:
    void opened() { open_ = true; }
    void closed() { open_ = false; }
    bool open() const { return open_; }
    // The wizard may start on an open project when it is not already running.
    bool mayStart(bool projectOpen) const { return projectOpen && !open_; }

  private:
    bool open_ = false;
};

}  // namespace korvane
