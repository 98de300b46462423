
#include "app/ProjectSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <future>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "app/MainWindow.h"
#include "app/ScopeExit.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "storage/AtomicFile.h"
#include "storage/Recovery.h"
#include "text/Numbers.h"
#include "view/Panes.h"
#include "view/PictureBox.h"
#include "view/PictureFile.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {

namespace {

const char* const kProjectFilter = "Korvane project file *.kvp|*.kvp";
// Every supported kind first: scanners commonly write PNG and TIFF, and a dialog that hides them by
// default looks as if the program could not read them. The classic three formats stay as the second.
const char* const kPictureFilter =
    "All supported pictures|*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.tif;*.tiff|"
    "*.bmp;*.gif;*.jpg|*.bmp;*.gif;*.jpg";
constexpr std::int32_t kNewAndSaveAsFlags = 2621446;
constexpr std::int32_t kOpenFlags = 2625542;

void loadInto(PictureBox* box, const std::string& path) {
    QString reason;
    if (!box->loadPicture(pathToQ(path), &reason)) {
        throw std::runtime_error("cannot load " + path + ": " + fromQ(reason));
    }
}

struct DecodedPicture {
    QImage image;
    QString reason;  // why it could not be read
};

// Reads a picture on a thread of its own while the caller reads the other one: decoding a large scan
// takes most of the time a project needs to open. Nothing but the file and a fresh image is touched
// there. An invalid future when no thread could be started: the caller reads it itself.
std::future<DecodedPicture> decodeAside(const std::string& path) {
    try {
        return std::async(std::launch::async, [file = pathToQ(path)] {
            DecodedPicture decoded;
            decoded.image = ReadBoardPicture(file, &decoded.reason);
            return decoded;
        });
    } catch (const std::system_error&) {
        return {};
    }
}

// Whether a picture is worth a thread of its own: only one that takes a while to decode gains from it,
// and the first thread that allocates leaves the process a malloc arena for good (reserved address
// space, not memory), which a project of small pictures need not pay.
bool worthDecodingAside(const std::string& path) {
    constexpr qint64 kFromPixels = 1 << 20;
    QImageReader reader(pathToQ(path));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return size.isValid() && qint64(size.width()) * size.height() >= kFromPixels;
}

// Shows a picture read by decodeAside(), failing as loadInto() does.
void showDecoded(PictureBox* box, const std::string& path, std::future<DecodedPicture>& decoding) {
    if (!decoding.valid()) {
        loadInto(box, path);
        return;
    }
    DecodedPicture decoded = decoding.get();
    if (decoded.image.isNull()) {
        throw std::runtime_error("cannot load " + path + ": " + fromQ(decoded.reason));
    }
    box->setPicture(std::move(decoded.image));
}

}  // namespace

ProjectSession::ProjectSession(MainWindow& window, Ui& ui, Project& project)
    : OpenSave(ui), window_(window), ui_(ui), project_(project) {
    autosaveTimer_ = new QTimer(&window);
    autosaveTimer_->setObjectName(QStringLiteral("AutosaveTimer"));
    QObject::connect(autosaveTimer_, &QTimer::timeout, &window, [this] { autosaveNow(); });
}

void ProjectSession::startAutosave() {
    const std::optional<std::string> minutes = Registry::GetString(Registry::kKeyPath, "AutosaveMinutes");
    AutosaveMinutes = minutes ? std::max(0.0, parseNumber(*minutes)) : 2.0;
    if (AutosaveMinutes > 0) {
        autosaveTimer_->start(int(std::min(AutosaveMinutes * 60000.0, 24.0 * 3600000.0)));
    }
}

void ProjectSession::end(bool projectOpen) {
    if (!dialogStartPath().empty()) {
        Registry::SetString(Registry::kKeyPath, Registry::kLastPath, dialogStartPath());
    }
    autosaveTimer_->stop();
    if (projectOpen) {
        dropOwnRecovery();
    }
}

const std::string& ProjectSession::dialogStartPath() const {
    return project_.path.empty() ? LastPath : project_.path;
}

void ProjectSession::openDroppedFiles(const QStringList& files) {
    if (files.isEmpty()) {
        return;
    }
    OpenSave.FileName = pathFromQ(files.first());
    openProject();
}

int ProjectSession::askToSave() {
    if (project_.saved()) {
        return kSaveNothingToSave;
    }
    MessageRequest request;
    request.prompt = "Save current project ?";
    request.title = "Current project isn't saved:";
    request.buttons = MsgButtons::YesNoCancel;
    request.icon = MsgIcon::Question;
    request.defaultButton = 3;
    switch (ui_.message(request)) {
        case MsgResult::Yes:
            // A save that failed must not let the caller discard the work it was meant to keep.
            return saveToFile() ? kSaveSaved : kSaveCancel;
        case MsgResult::No:
            return kSaveDiscard;
        default:
            return kSaveCancel;
    }
}

void ProjectSession::saveProject() {
    if (!window_.projectOpen()) {
        return;
    }
    saveToFile();
}

bool ProjectSession::saveToFile() {
    BusyPointer busy(ui_);
    if (project_.doc.FileName() != project_.path) {
        project_.doc.Retarget(project_.path);
    }
    writeProjectState(project_.doc);
    std::string reason;
    if (!project_.doc.UpdateFile(&reason)) {
        // A document without a name was never written, so there is nothing to report.
        if (!project_.doc.FileName().empty()) {
            ui_.tell(FailureMessage("File locked.", reason), "Open file error:", MsgIcon::Critical);
        }
        return false;
    }
    // Everything is in the project file now, including what a recovery file may have kept.
    RemoveRecovery(project_.path);
    recoveryWritten_ = false;
    project_.markSaved();
    window_.updateTitle();  // Save As may have given the project a new name
    return true;
}

void ProjectSession::writeProjectState(IniDocument& ini) const {
    MainValues values;
    values.scaleX = project_.cursors.CursorScaleX;
    values.scaleY = project_.cursors.CursorScaleY;
    const ShownCursors& shown = project_.shownCursors;
    values.oldX1 = shown.OldX1;
    values.oldY1 = shown.OldY1;
    values.oldX2 = shown.OldX2;
    values.oldY2 = shown.OldY2;
    values.x1 = shown.cur1Left;
    values.y1 = shown.cur1Top;
    values.x2 = shown.cur2Left;
    values.y2 = shown.cur2Top;
    WriteProjectModel(project_, values, ini);
}

void ProjectSession::autosaveNow() {
    if (!window_.projectOpen() || project_.saved() || window_.busy() || project_.path.empty()) {
        return;
    }
    // A copy of the document, so that the project file's own model is not touched between saves.
    IniDocument copy;
    copy.LoadFromText(project_.doc.ToText());
    writeProjectState(copy);
    std::string reason;
    if (writeFileAtomically(RecoveryPath(project_.path), copy.ToText(), &reason)) {
        recoveryWritten_ = true;
        return;
    }
    // The project keeps working; the user hears of it once, not every two minutes.
    if (!autosaveFailureTold_) {
        autosaveFailureTold_ = true;
        ui_.tell(
            FailureMessage("Unsaved work cannot be kept in a recovery file: " + RecoveryPath(project_.path),
                           reason),
            "autosaveNow:", MsgIcon::Exclamation);
    }
}

void ProjectSession::dropOwnRecovery() {
    if (recoveryWritten_) {
        RemoveRecovery(project_.path);
    }
    recoveryWritten_ = false;
}

void ProjectSession::saveProjectAs() {
    if (!window_.projectOpen()) {
        return;
    }
    OpenSave.SetFilter(kProjectFilter);
    OpenSave.Flags = kNewAndSaveAsFlags;
    OpenSave.DialogTitle = "Enter filename of the current project to save:";
    OpenSave.InitDir = project_.path;
    OpenSave.FileTitle = project_.path;
    OpenSave.FileName = project_.path;
    // A cancelled dialog leaves the preset name, so cancelling saves under the current path.
    static_cast<void>(OpenSave.ShowSave());

    const std::string oldPath = project_.path;
    const std::string newPath = OpenSave.FileName;
    const std::string section(kFilePathSection);
    const auto [oldFirst, oldSecond] = PictureEntries(project_.doc);
    // A copy in another folder must still find its pictures: store them by the rule for the new place.
    // The reader takes the pictures from the first two entries whatever their names, so they are
    // rewritten (and restored) by position too: by name, "First" and "first" would both hit the first.
    const bool moved = FolderOfPath(newPath) != FolderOfPath(oldPath);
    if (moved && project_.doc.ValuesCount(section) >= 2) {
        project_.doc.SetValueAt(section, 1, StoredPicturePath(project_.layer1.picturePath, newPath));
        project_.doc.SetValueAt(section, 2, StoredPicturePath(project_.layer2.picturePath, newPath));
    }
    project_.path = newPath;
    if (!saveToFile()) {
        // Nothing was written under the new name: the project stays where it was.
        project_.path = oldPath;
        project_.doc.Retarget(oldPath);
        if (moved && project_.doc.ValuesCount(section) >= 2) {
            project_.doc.SetValueAt(section, 1, oldFirst);
            project_.doc.SetValueAt(section, 2, oldSecond);
        }
    }
}

void ProjectSession::newProject() {
    if (window_.busy() || askToSave() == kSaveCancel) {
        return;
    }
    OpenSave.SetFilter(kProjectFilter);
    OpenSave.Flags = kNewAndSaveAsFlags;
    OpenSave.DialogTitle = "Enter new project name and select path:";
    OpenSave.InitDir = dialogStartPath();

    auto reportFailure = [this](bool cancelled) {
        if (cancelled) {
            ui_.tell("First enter new project name and next select two picture.",
                     "New project:", MsgIcon::Information);
        } else {
            ui_.tell("Invalid picture format or there isn't enough available memory for picture load.",
                     "File open error:", MsgIcon::Exclamation);
        }
    };

    // The name is asked in a save dialog, whose overwrite prompt guards an existing project; that file
    // is only replaced by the first save, so giving up here loses nothing.
    if (OpenSave.ShowSave() == FileChoice::Cancelled) {
        reportFailure(true);
        return;
    }
    const std::string newPath = OpenSave.FileName;
    if (!closeAfterPrompt()) {
        return;
    }

    // Each picture is chosen and loaded in turn; a cancel or a picture that cannot be loaded gives up
    // the half-made project.
    auto choosePicture = [this](PictureBox* box, const char* title, const std::string& initialDir) {
        OpenSave.DialogTitle = title;
        OpenSave.InitDir = initialDir;
        OpenSave.FileName.clear();
        if (OpenSave.ShowOpen() == FileChoice::Cancelled) {
            return false;
        }
        BusyPointer busyPointer(ui_);
        loadInto(box, OpenSave.FileName);
        return true;
    };
    try {
        OpenSave.SetFilter(kPictureFilter);
        if (!choosePicture(window_.panes()->P1(), "Select first picture:", newPath)) {
            discardProject();
            reportFailure(true);
            return;
        }
        project_.layer1.picturePath = OpenSave.FileName;

        project_.doc.StartNew(newPath);
        project_.doc.RemoveSection(kFilePathSection);
        project_.doc.SetValue(kFilePathSection, "First",
                              StoredPicturePath(project_.layer1.picturePath, newPath));

        if (!choosePicture(window_.panes()->P2(),
                           "Select second picture:", FolderOfPath(project_.layer1.picturePath))) {
            discardProject();
            reportFailure(true);
            return;
        }
        project_.layer2.picturePath = OpenSave.FileName;
        project_.doc.SetValue(kFilePathSection, "Second",
                              StoredPicturePath(project_.layer2.picturePath, newPath));
    } catch (const std::exception&) {
        discardProject();
        reportFailure(false);
        return;
    }

    window_.setProjectOpen(true);
    showProjectPictures();
    for (const char* name : {"mnuEdit", "mnuSaveAs", "mnuSave", "mnuClose", "mnuExport"}) {
        window_.menus().setEnabled(QString::fromUtf8(name), true);
    }
    project_.path = newPath;
    window_.cursors().resetCursorScale();
    project_.doc.AddSection(kComponentsSection);
    project_.markUnsaved();
    window_.updateTitle();
}

void ProjectSession::openProject() {
    if (window_.busy()) {
        return;
    }
    // Opening turns pictures into their stored orientation, and a close asked for meanwhile waits for it.
    const ScopeExit heldClose([this] { window_.pictures().closeIfHeldForRotation(); });
    for (const char* name : {"mnuSave", "mnuSaveAs", "mnuClose", "mnuExport"}) {
        window_.menus().setEnabled(QString::fromUtf8(name), true);
    }
    // Whatever way Open ends, the menus then say whether a project is open.
    const ScopeExit menus([this] { window_.menusFollowProject(); });
    if (askToSave() == kSaveCancel) {
        return;
    }
    OpenSave.SetFilter(kProjectFilter);
    OpenSave.Flags = kOpenFlags;
    OpenSave.DialogTitle = "Select filename to load project:";
    OpenSave.InitDir = dialogStartPath();
    if (OpenSave.ShowOpen() == FileChoice::Cancelled) {
        return;  // a cancelled dialog changes nothing
    }
    const std::string path = OpenSave.FileName;
    if (path.empty() || !closeAfterPrompt()) {
        return;
    }

    // Work autosaved after the project's last save, by a run that never closed it cleanly.
    bool recovered = false;
    if (RecoveryIsNewer(path)) {
        MessageRequest question;
        question.prompt = "Recover unsaved work from " +
                          fromQ(QFileInfo(pathToQ(RecoveryPath(path)))
                                    .lastModified()
                                    .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))) +
                          "?";
        question.title = "Recover project:";
        question.buttons = MsgButtons::YesNo;
        question.icon = MsgIcon::Question;
        recovered = ui_.message(question) == MsgResult::Yes;
    }

    bool loaded = false;
    bool offerTraces = false;
    try {
        BusyPointer busyPointer(ui_);
        // A folder chosen as the project reads as an empty document, which would be misreported as a
        // project whose pictures are missing: it is an unreadable project file.
        std::error_code ignored;
        if (std::filesystem::exists(path, ignored) && !std::filesystem::is_regular_file(path, ignored)) {
            throw IniReadError("not a project file: " + path);
        }
        if (recovered) {
            // The recovered state under the project's own name: the next save writes the project file.
            project_.doc.SetFileName(RecoveryPath(path));
            project_.doc.Retarget(path);
        } else {
            project_.doc.SetFileName(path);
        }
        loaded = loadProjectFromDocument(path, offerTraces);
    } catch (const std::exception& error) {
        discardProject();
        // The reader's own words on a second line: "out of memory" and "unreadable file" need different
        // remedies, and the fixed text cannot say which it was.
        const std::string reason =
            dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? "not enough memory" : error.what();
        ui_.tell(FailureMessage("Invalid picture format, file(s) missing or out of memory.", reason),
                 "File open error:", MsgIcon::Exclamation);
        return;
    }
    if (!loaded) {
        discardProject();
        ui_.tell("File of the picture not found. Check section [" + std::string(kFilePathSection) +
                     "] in the " + path,
                 "Invalid project file:", MsgIcon::Information);
        return;
    }

    if (offerTraces) {
        MessageRequest question;
        question.prompt = "Load now ? To load later - press 'No'.";
        question.title = "Do you want to load the saved traces NOW?";
        question.buttons = MsgButtons::YesNo;
        question.icon = MsgIcon::Question;
        if (ui_.message(question) == MsgResult::Yes) {
            window_.tracing().drawAllTraces();
        }
    }
    project_.path = path;
    // Recovered work is not in the project file yet: the user decides when it is saved.
    if (recovered) {
        project_.markUnsaved();
    } else {
        project_.markSaved();
    }
}

bool ProjectSession::loadProjectFromDocument(const std::string& path, bool& offerTraces) {
    const auto [firstEntry, secondEntry] = PictureEntries(project_.doc);
    const std::string first = ResolvePicturePath(firstEntry, path);
    const std::string second = ResolvePicturePath(secondEntry, path);
    std::error_code ignored;
    if (first.empty() || !std::filesystem::is_regular_file(first, ignored)) {
        return false;
    }
    // Both pictures are read at once, the second on a thread of its own; the outcome and its order stay
    // those of reading one after the other. Should the first fail, the second's reading is waited for
    // and dropped with the future.
    const bool secondThere = !second.empty() && std::filesystem::is_regular_file(second, ignored);
    std::future<DecodedPicture> secondDecoding;
    if (secondThere && worthDecodingAside(second)) {
        secondDecoding = decodeAside(second);
    }
    loadInto(window_.panes()->P1(), first);
    project_.layer1.picturePath = first;
    window_.setProjectOpen(true);  // from here on a failure must close what was opened
    if (!secondThere) {
        return false;
    }
    showDecoded(window_.panes()->P2(), second, secondDecoding);
    project_.layer2.picturePath = second;
    window_.pictures().applyStoredOrientations();

    const OpenedProject opened = ReadProjectModel(project_);
    offerTraces = opened.offerDrawing;
    window_.pads().padsLoaded();

    showProjectPictures();
    window_.cursors().resetCursorScale();
    const MainValues& values = opened.values;
    project_.cursors.CursorScaleX = float(values.scaleX);
    project_.cursors.CursorScaleY = float(values.scaleY);
    project_.shownCursors = {values.oldX1, values.oldY1, values.oldX2, values.oldY2,
                             values.x1,    values.y1,    values.x2,    values.y2};
    window_.cursors().cursorsPlaced();
    window_.panes()->mappingChanged();
    if (!opened.alignmentProblem.empty()) {
        // Saving drops a section the project cannot hold: the user hears of it before that.
        ui_.tell("The layers' alignment stored in this project cannot be read (" + opened.alignmentProblem +
                     "). The cursors follow the scale until the layers are aligned again.",
                 "Korvane", MsgIcon::Exclamation);
    }
    return true;
}

void ProjectSession::showProjectPictures() {
    window_.panes()->setPicturesVisible(true);
    window_.panes()->resetBars();
    window_.panes()->layOut();
}

void ProjectSession::closeProject() {
    if (window_.busy()) {
        return;
    }
    closeAfterPrompt();
}

bool ProjectSession::closeAfterPrompt() {
    if (askToSave() == kSaveCancel) {
        return false;
    }
    dropOwnRecovery();
    discardProject();
    return true;
}

void ProjectSession::discardProject() {
    window_.panes()->P1()->clearPicture();
    window_.panes()->P2()->clearPicture();
    window_.pads().clearPadData();
    window_.nets().reset();  // the pads went without a word to the panel
    window_.panes()->setPicturesVisible(false);
    window_.panes()->resetBars();
    window_.panes()->Scrolling();
    recoveryWritten_ = false;
    if (!project_.path.empty()) {
        LastPath = project_.path;
    }
    project_.path.clear();
    project_.layer1.picturePath.clear();
    project_.layer2.picturePath.clear();
    window_.tracing().unloadTraces();
    window_.hideExportDialog();
    project_.layer1.orientation = {};
    project_.layer2.orientation = {};
    project_.alignment.reset();
    // A half-finished calibration belongs to the project that is going away.
    window_.cursors().cancelScaleWizard();
    window_.setProjectOpen(false);
    project_.resetHistory();
    window_.updateTitle();
}

}  // namespace korvane
