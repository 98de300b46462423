#include "export/ExportDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QTimer>

#include "platform/FileDialogState.h"
#include "platform/FormControls.h"
#include "platform/QtText.h"
#include "platform/QtUi.h"
#include "platform/tooltiptext.h"
#include "project/PadCommands.h"
#include "project/Project.h"

namespace korvane {

namespace {

using namespace controls;

constexpr int kRefreshMs = 300;
constexpr int kTipWidth = 400;
constexpr int kWidth = 340;

// The program's dialogs belong to the main window; while this dialog is up they must come up over it,
// so it owns them for the time being.
class OwnedDialogs {
  public:
    OwnedDialogs(Ui& ui, QWidget* owner) : qt_(dynamic_cast<QtUi*>(&ui)) {
        if (qt_ != nullptr) {
            previous_ = qt_->owner();
            qt_->setOwner(owner);
        }
    }
    ~OwnedDialogs() {
        if (qt_ != nullptr) {
            qt_->setOwner(previous_);
        }
    }
    OwnedDialogs(const OwnedDialogs&) = delete;
    OwnedDialogs& operator=(const OwnedDialogs&) = delete;

  private:
    QtUi* qt_;
    QPointer<QWidget> previous_;
};

}  // namespace

ExportDialog::ExportDialog(QWidget* owner, Ui& ui, Project& project, std::string programDir,
                           FileDialogState& fileDialog, Host host)
    : QDialog(owner),
      ui_(ui),
      project_(project),
      programDir_(std::move(programDir)),
      fileDialog_(fileDialog),
      host_(std::move(host)) {
    setObjectName(QStringLiteral("frmNetList"));
    setWindowTitle(QStringLiteral("Export of principle scheme and netlist:"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    buildControls();
    // The part types are a fixed vocabulary: filled once.
    cboLab_->addItems(texts(model_.partTypePicks()));
    cboLab_->setCurrentIndex(-1);

    Timer_ = new QTimer(this);
    Timer_->setObjectName(QStringLiteral("Timer"));
    Timer_->setInterval(kRefreshMs);
    connect(Timer_, &QTimer::timeout, this, &ExportDialog::followFields);
    project_.addObserver(this);
}

ExportDialog::~ExportDialog() {
    project_.removeObserver(this);
}

void ExportDialog::buildControls() {
    const int inner = kWidth - 24;
    Label3_ = label(this, "Label3", "Component designator:", {8, 8, kWidth - 16, 20});
    cboComp_ = comboBox(this, "cboComp", {8, 28, kWidth - 16, 26}, "Select component", false);

    Frame1_ = new QGroupBox(QStringLiteral("Data of selected component:"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setGeometry(4, 62, kWidth - 8, 210);
    label(Frame1_, "Label4", "Reference of scheme library:", {8, 22, inner, 20});
    dataField(Frame1_, {8, 42, inner, 26}, cboSch_, "cboSch", "Select from list ONLY !", cboLib_, "cboLib",
              "Select from list ONLY !");
    label(Frame1_, "Label2", "Part type (label-value, comment):", {8, 72, inner, 20});
    dataField(Frame1_, {8, 92, inner, 26}, cboLabel_, "cboLabel", "Enter manually", cboLab_, "cboLab",
              "Select from list");
    label(Frame1_, "Label1", "Package (footprint):", {8, 122, inner, 20});
    dataField(Frame1_, {8, 142, inner, 26}, cboPackage_, "cboPackage", "Enter manually", cboLibP_, "cboLibP",
              "Select from list");
    cmdUpdate_ =
        button(Frame1_, "cmdUpdate", "&Update", {8, 174, inner, 28}, "Update data of selected component");
    cmdUpdate_->setEnabled(false);

    lblFormat_ = label(this, "lblFormat", "Net-list format:", {8, 283, 110, 20});
    cboFormat_ =
        comboBox(this, "cboFormat", {120, 280, kWidth - 128, 26}, "Format of the net-list file", false);
    // In the order of NetListFormat.
    cboFormat_->addItems({QStringLiteral("Protel net list"), QStringLiteral("KiCad net list")});
    cboFormat_->setCurrentIndex(0);

    const int half = (kWidth - 24) / 2;
    cmdExport_ = button(this, "cmdExport", "&Export", {8, 314, half, 30}, "Save sch and netlist to files");
    cmdCancel_ = button(this, "cmdCancel", "&Close", {16 + half, 314, half, 30}, nullptr);
    setFixedSize(kWidth, 352);

    connect(cboComp_, &QComboBox::activated, this, &ExportDialog::chooseComponent);
    connect(cboLab_, &QComboBox::activated, this, &ExportDialog::pickPartType);
    connect(cboLibP_, &QComboBox::activated, this, &ExportDialog::pickFootprint);
    connect(cboLib_, &QComboBox::activated, this, &ExportDialog::pickSymbol);
    connect(cmdUpdate_, &QPushButton::clicked, this, &ExportDialog::updateComponent);
    connect(cmdExport_, &QPushButton::clicked, this, [this] { exportFiles(); });
    connect(cmdCancel_, &QPushButton::clicked, this, &ExportDialog::closeDialog);
}

QComboBox* ExportDialog::field(Field which) const {
    switch (which) {
        case kRef:
            return cboSch_;
        case kLabel:
            return cboLabel_;
        case kPackage:
            break;
    }
    return cboPackage_;
}

std::string ExportDialog::fieldBytes(Field which) const {
    const std::vector<std::string>& column = which == kRef     ? model_.libRefs()
                                             : which == kLabel ? model_.partTypes()
                                                               : model_.footprints();
    return fieldBytes_[std::size_t(which)].read(field(which)->currentText(), column);
}

void ExportDialog::setField(Field which, const std::string& bytes) {
    field(which)->setEditText(fieldBytes_[std::size_t(which)].set(bytes));
}

void ExportDialog::showModelFields() {
    setField(kRef, model_.libRefField);
    setField(kLabel, model_.partTypeField);
    setField(kPackage, model_.footprintField);
    cboComp_->setCurrentIndex(model_.chosen());
}

void ExportDialog::takeFields() {
    model_.libRefField = fieldBytes(kRef);
    model_.partTypeField = fieldBytes(kLabel);
    model_.footprintField = fieldBytes(kPackage);
}

void ExportDialog::fillControls() {
    fillList(cboComp_, texts(model_.designators()));
    fillList(cboSch_, texts(model_.libRefs()));
    fillList(cboLabel_, texts(model_.partTypes()));
    fillList(cboPackage_, texts(model_.footprints()));
    fillList(cboLibP_, texts(model_.footprintPicks()));
    fillList(cboLib_, texts(model_.symbolPicks()));
    showModelFields();
}

bool ExportDialog::ShowExport() {
    if (!model_.Show(project_.pads, programDir_, ui_)) {
        hide();
        return false;
    }
    fillControls();
    show();
    raise();
    activateWindow();
    followFields();
    return true;
}

void ExportDialog::chooseComponent(int index) {
    model_.Choose(index);
    showModelFields();
}

void ExportDialog::pickPartType(int index) {
    model_.PickPartType(index);
    setField(kLabel, model_.partTypeField);
}

void ExportDialog::pickFootprint(int index) {
    model_.PickFootprint(index);
    setField(kPackage, model_.footprintField);
}

void ExportDialog::pickSymbol(int index) {
    model_.PickSymbol(index);
    setField(kRef, model_.libRefField);
}

void ExportDialog::updateComponent() {
    takeFields();
    const std::optional<ComponentData> data = model_.Update();
    if (!data) {
        return;
    }
    ApplyPadEdit(project_, ComponentDataEdit(*data));
    fillList(cboSch_, texts(model_.libRefs()));
    fillList(cboLabel_, texts(model_.partTypes()));
    fillList(cboPackage_, texts(model_.footprints()));
    showModelFields();
    followFields();
}

void ExportDialog::componentsChanged() {
    if (!isVisible()) {
        return;  // the next showing reads everything anew
    }
    // The lists follow the project; the fields stay as the user left them.
    model_.Refresh(project_.pads);
    fillList(cboComp_, texts(model_.designators()));
    fillList(cboSch_, texts(model_.libRefs()));
    fillList(cboLabel_, texts(model_.partTypes()));
    fillList(cboPackage_, texts(model_.footprints()));
    cboComp_->setCurrentIndex(model_.chosen());
}

ExportOutcome ExportDialog::exportFiles() {
    OwnedDialogs owned(ui_, this);
    const NetListFormat format =
        cboFormat_->currentIndex() == 1 ? NetListFormat::KiCad : NetListFormat::Protel;
    return RunExport(model_.Model(project_.pads), programDir_, ui_, fileDialog_, previous_, format,
                     host_.projectPath ? host_.projectPath() : std::string());
}

void ExportDialog::closeDialog() {
    {
        OwnedDialogs owned(ui_, this);
        if (host_.savePrompt) {
            host_.savePrompt();
        }
    }
    hide();
}

void ExportDialog::reject() {
    closeDialog();
}

void ExportDialog::followFields() {
    takeFields();
    cmdUpdate_->setEnabled(model_.UpdateEnabled());
    QString tip = toQ(model_.ReferenceToolTip());
    if (Qt::mightBeRichText(tip)) {
        // A symbol named like "<RST>" must show as it is written, not as markup.
        tip = tooltiptext::PlainTipHtml(tip, kTipWidth);
    }
    cboSch_->setToolTip(tip);
}

void ExportDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Timer_->start();
}

void ExportDialog::hideEvent(QHideEvent* event) {
    Timer_->stop();
    QDialog::hideEvent(event);
}

}  // namespace korvane
