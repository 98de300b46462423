#include "pads/PadPropertiesDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "export/Libraries.h"
#include "platform/FormControls.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "platform/UserActivation.h"
#include "project/Project.h"
#include "text/Ascii.h"

namespace korvane {

namespace {

using namespace controls;

constexpr NameField kNameFields[] = {NameField::Pad, NameField::Net, NameField::Comp};
// The edit bit of each name field, in the order of kNameFields.
constexpr unsigned kFieldBits[] = {kPadNameField, kNetNameField, kCompNameField};

std::size_t indexOf(NameField field) {
    return std::size_t(field);
}

bool sameData(const ComponentData& a, const ComponentData& b) {
    return a.libRef == b.libRef && a.partType == b.partType && a.footprint == b.footprint;
}

}  // namespace

PadPropertiesDialog::PadPropertiesDialog(QWidget* owner, Ui& ui, Project& project, std::string programDir,
                                         Host host)
    : QDialog(owner),
      ui_(ui),
      project_(project),
      board_(&project.pads),
      programDir_(std::move(programDir)),
      host_(std::move(host)) {
    setObjectName(QStringLiteral("frmPad"));
    setWindowTitle(QStringLiteral("Pad properties:"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    buildControls();
    project_.addObserver(this);
}

PadPropertiesDialog::~PadPropertiesDialog() {
    project_.removeObserver(this);
}

void PadPropertiesDialog::buildControls() {
    const int width = 300;
    Label1_ = label(this, "Label1", "Pad designator:", {8, 6, 220, 18}, "(Total quantitynity)");
    cboPad_ = comboBox(this, "cboPad", {8, 24, 222, 24}, "Select pad or enter new name", true);
    cmdDelPad_ = button(this, "cmdDelPad", "Del", {236, 24, 56, 24}, "Delete this pad");
    cmdDelPad_->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(255, 0, 0); }"));
    Label2_ = label(this, "Label2", "Net name:", {8, 52, 220, 18}, "(Total quantity)");
    cboNet_ = comboBox(this, "cboNet", {8, 70, 222, 24}, "Select net or enter new name", true);
    cmdSelNet_ = button(this, "cmdSelNet", "Sel", {236, 70, 56, 24}, "Select pads of the net");

    Frame1_ = new QGroupBox(QStringLiteral("Component:"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setGeometry(4, 100, width - 8, 214);
    Label3_ = label(Frame1_, "Label3", "Designator:", {8, 20, 200, 18}, "(Total quantity)");
    cboComp_ = comboBox(Frame1_, "cboComp", {8, 38, 160, 24}, "Select component or enter new name", true);
    cmdSelComp_ = button(Frame1_, "cmdSelComp", "Sel", {172, 38, 52, 24}, "Select pads of the component");
    cmdCompCoord_ = button(Frame1_, "cmdCompCoord", "x,y", {228, 38, 56, 24},
                           "Save component's coordinates or go to the component");
    label(Frame1_, "Label4", "Reference of scheme library:", {8, 66, 276, 18});
    dataField(Frame1_, {8, 84, 276, 24}, cboSch_, "cboSch", "Select from list ONLY !", cboLib_, "cboLib",
              "Select from list ONLY !");
    label(Frame1_, "Label5", "Part type (label-value, comment):", {8, 112, 276, 18});
    dataField(Frame1_, {8, 130, 276, 24}, cboLabel_, "cboLabel", "Enter manually", cboLab_, "cboLab",
              "Select from list");
    label(Frame1_, "Label6", "Package (footprint):", {8, 158, 276, 18});
    dataField(Frame1_, {8, 176, 276, 24}, cboPackage_, "cboPackage", "Enter manually", cboLibP_, "cboLibP",
              "Select from list");

    chkAutoSet_ = new QCheckBox(this);
    chkAutoSet_->setObjectName(QStringLiteral("chkAutoSet"));
    chkAutoSet_->setGeometry(10, 324, 22, 24);
    chkAutoSet_->setToolTip(QStringLiteral("Keep in fields the previous data"));
    chkAutoSet_->setChecked(false);
    cmdOk_ = button(this, "cmdOk", "&Apply", {36, 322, 124, 28}, "Save pad info");
    cmdOk_->setAutoDefault(true);
    cmdOk_->setDefault(true);
    cmdCancel_ = button(this, "cmdCancel", "&Close (Esc)", {168, 322, 124, 28}, nullptr);
    setFixedSize(width, 358);

    for (NameField name : kNameFields) {
        QComboBox* box = field(name);
        connect(box, &QComboBox::editTextChanged, this, [this, name] { nameTextChanged(name); });
        box->lineEdit()->installEventFilter(this);
    }
    for (QComboBox* data : {cboSch_, cboLabel_, cboPackage_}) {
        // Component data typed or picked are something for Apply to store.
        connect(data, &QComboBox::editTextChanged, this, [this] {
            if (!settingFields_) {
                cmdOk_->setEnabled(true);
                refreshStatus();
            }
        });
    }
    connect(cboComp_, &QComboBox::activated, this, &PadPropertiesDialog::pickComponentName);
    connect(cboLib_, &QComboBox::activated, this, &PadPropertiesDialog::pickSymbol);
    connect(cboLibP_, &QComboBox::activated, this, &PadPropertiesDialog::pickFootprint);
    connect(cboLab_, &QComboBox::activated, this, &PadPropertiesDialog::pickPartType);
    connect(cmdOk_, &QPushButton::clicked, this, &PadPropertiesDialog::applyNames);
    connect(cmdCancel_, &QPushButton::clicked, this, &PadPropertiesDialog::closeDialog);
    connect(cmdDelPad_, &QPushButton::clicked, this, &PadPropertiesDialog::deleteCurrentPad);
    connect(cmdSelNet_, &QPushButton::clicked, this, &PadPropertiesDialog::selectNetPads);
    connect(cmdSelComp_, &QPushButton::clicked, this, &PadPropertiesDialog::selectComponentPads);
    new UserActivation(this, [this] { loadPickLists(); });
}

QComboBox* PadPropertiesDialog::field(NameField name) const {
    switch (name) {
        case NameField::Pad:
            return cboPad_;
        case NameField::Net:
            return cboNet_;
        case NameField::Comp:
            break;
    }
    return cboComp_;
}

const NameList& PadPropertiesDialog::listOf(NameField name) const {
    switch (name) {
        case NameField::Pad:
            return board_->padNames;
        case NameField::Net:
            return board_->netNames;
        case NameField::Comp:
            break;
    }
    return board_->compNames;
}

std::string PadPropertiesDialog::fieldText(NameField name) const {
    return fieldBytes_[indexOf(name)].read(field(name)->currentText(), listOf(name).items());
}

void PadPropertiesDialog::setFieldText(NameField name, const std::string& bytes) {
    const QString shown = fieldBytes_[indexOf(name)].set(bytes);
    settingFields_ = true;
    field(name)->setEditText(shown);
    settingFields_ = false;
    if (name == NameField::Comp) {
        showComponentData();
    }
}

ComponentData PadPropertiesDialog::dataFields() const {
    ComponentData data;
    data.libRef = dataBytes_[0].read(cboSch_->currentText(), {});
    data.partType = dataBytes_[1].read(cboLabel_->currentText(), {});
    data.footprint = dataBytes_[2].read(cboPackage_->currentText(), {});
    return data;
}

void PadPropertiesDialog::showComponentData() {
    shownData_ = board_->componentData(fieldText(NameField::Comp));
    settingFields_ = true;
    cboSch_->setEditText(dataBytes_[0].set(shownData_.libRef));
    cboLabel_->setEditText(dataBytes_[1].set(shownData_.partType));
    cboPackage_->setEditText(dataBytes_[2].set(shownData_.footprint));
    settingFields_ = false;
}

std::optional<ComponentData> PadPropertiesDialog::typedComponentData() const {
    ComponentData typed = dataFields();
    if (sameData(typed, shownData_)) {
        return std::nullopt;  // nothing typed: a value the dialog only showed is never rewritten
    }
    typed.designator = fieldText(NameField::Comp);
    if (!NameProblem(NameField::Comp, typed.designator).empty()) {
        return std::nullopt;
    }
    return typed;
}

bool PadPropertiesDialog::apply(std::unique_ptr<PadEdit> edit, const std::optional<ComponentData>& typed) {
    applying_ = true;
    const bool changed = ApplyPadEdit(project_, std::move(edit));
    applying_ = false;
    if (typed) {
        // Stored only for a listed component; data typed for another stay typed.
        const ComponentData now = board_->componentData(typed->designator);
        if (sameData(now, *typed)) {
            shownData_ = now;
        }
    }
    return changed;
}

PadNames PadPropertiesDialog::fieldNames() const {
    return {fieldText(NameField::Pad), fieldText(NameField::Net), fieldText(NameField::Comp)};
}

void PadPropertiesDialog::syncLists() {
    QStringList libRefs, partTypes, footprints;
    for (const ComponentData& component : board_->components) {
        libRefs << toQ(component.libRef);
        partTypes << toQ(component.partType);
        footprints << toQ(component.footprint);
    }
    settingFields_ = true;
    fillList(cboPad_, texts(board_->padNames.items()));
    fillList(cboNet_, texts(board_->netNames.items()));
    fillList(cboComp_, texts(board_->compNames.items()));
    fillList(cboSch_, libRefs);
    fillList(cboLabel_, partTypes);
    fillList(cboPackage_, footprints);
    settingFields_ = false;
}

void PadPropertiesDialog::nameTextChanged(NameField name) {
    if (settingFields_) {
        return;
    }
    for (NameField each : kNameFields) {
        if (!field(each)->currentText().isEmpty()) {
            cmdOk_->setEnabled(true);
            break;
        }
    }
    // With several pads selected, a change of one name (typed, picked or pasted) is meant for that name
    // only: Apply must not write the other two fields over every selected pad.
    if (currentPad_ == 0) {
        for (NameField other : kNameFields) {
            if (other != name) {
                field(other)->setEnabled(false);
            }
        }
    }
    if (name == NameField::Comp) {
        showComponentData();
    }
    refreshStatus();
}

void PadPropertiesDialog::setCurrentPad(int n) {
    currentPad_ = n;
    refreshStatus();
}

void PadPropertiesDialog::loadCurrentPad() {
    if (currentPad_ == 0) {
        return;
    }
    const PadNames names = board_->namesOf(currentPad_);
    const bool keep = chkAutoSet_->isChecked();
    setFieldText(NameField::Pad, names.pad);
    if (!names.net.empty() || !keep) {
        setFieldText(NameField::Net, names.net);
    }
    if (!names.comp.empty() || !keep) {
        setFieldText(NameField::Comp, names.comp);
    }
    cmdOk_->setEnabled(false);
    refreshStatus();
}

bool PadPropertiesDialog::acceptableNames(unsigned fields, const PadNames& names) {
    const std::string* texts[] = {&names.pad, &names.net, &names.comp};
    for (int i = 0; i < 3; ++i) {
        if ((fields & kFieldBits[i]) == 0) {
            continue;
        }
        const std::string problem = NameProblem(kNameFields[i], *texts[i]);
        if (!problem.empty()) {
            MessageRequest request;
            request.prompt = problem;
            request.title = "Invalid name:";
            request.icon = MsgIcon::Exclamation;
            request.buttons = MsgButtons::Ok;
            ui_.message(request);
            return false;
        }
    }
    return true;
}

void PadPropertiesDialog::afterApply() {
    cmdOk_->setEnabled(false);
    setSelectionControlsEnabled(true);
    refreshStatus();
}

bool PadPropertiesDialog::placePad(int n, const PadPlace& place) {
    const PadNames names = fieldNames();
    // A refused name still leaves the pad placed and its positions stored.
    const unsigned fields = acceptableNames(kAllNameFields, names) ? unsigned(kAllNameFields) : 0u;
    const std::optional<ComponentData> typed = fields != 0 ? typedComponentData() : std::nullopt;
    const bool placed = apply(PlacePadEdit(n, place, fields, names, typed), typed);
    afterApply();
    return placed;
}

void PadPropertiesDialog::applyToCurrentPad() {
    if (currentPad_ == 0) {
        return;
    }
    const PadNames names = fieldNames();
    // A refused name still leaves the pad's positions stored.
    const unsigned fields = acceptableNames(kAllNameFields, names) ? unsigned(kAllNameFields) : 0u;
    const std::optional<ComponentData> typed = fields != 0 ? typedComponentData() : std::nullopt;
    apply(NamePadsEdit({currentPad_}, fields, names, typed), typed);
    afterApply();
}

void PadPropertiesDialog::applyNames() {
    unsigned fields = 0;
    for (int i = 0; i < 3; ++i) {
        if (field(kNameFields[i])->isEnabled()) {
            fields |= kFieldBits[i];
        }
    }
    const PadNames names = fieldNames();
    if (!acceptableNames(fields, names)) {
        return;
    }
    // The data after the names, so that a component named here for the first time is listed and takes them.
    const std::optional<ComponentData> typed = typedComponentData();
    apply(NamePadsEdit(board_->markers.selectedPads(), fields, names, typed), typed);
    afterApply();
}

void PadPropertiesDialog::setSelectionControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{cboPad_, cmdDelPad_, cboNet_, cmdSelNet_, cboComp_, cmdSelComp_}) {
        control->setEnabled(enabled);
    }
    // "Del" is for the current pad only, whatever else is enabled.
    cmdDelPad_->setEnabled(currentPad_ != 0);
}

void PadPropertiesDialog::forgetPatterns() {
    netPattern_.clear();
    compPattern_.clear();
}

void PadPropertiesDialog::showModeless() {
    show();
    raise();
    activateWindow();
}

void PadPropertiesDialog::closeDialog() {
    currentPad_ = 0;
    refreshStatus();
    hide();
    setSelectionControlsEnabled(true);
    if (host_.setViewChecked) {
        host_.setViewChecked(false);
    }
}

void PadPropertiesDialog::reject() {
    closeDialog();
}

void PadPropertiesDialog::closeEvent(QCloseEvent* event) {
    if (isVisible()) {
        // The close box acts as View > Pads: the dialog only hides, its lists are the project's.
        event->ignore();
        if (host_.toggleView) {
            host_.toggleView();
        }
        return;
    }
    QDialog::closeEvent(event);
}

void PadPropertiesDialog::deleteSelectedPads() {
    const std::vector<int> pads = board_->markers.selectedPads();
    if (!pads.empty()) {
        apply(DeletePadsEdit(pads, netPattern_, compPattern_), std::nullopt);
    }
    for (NameField name : kNameFields) {
        setFieldText(name, {});
    }
    // The current pad may be among the deleted: "Del" must not stay armed for a pad that is gone.
    currentPad_ = 0;
    hide();
    forgetPatterns();
    refreshStatus();
}

void PadPropertiesDialog::projectClosed() {
    for (NameField name : kNameFields) {
        setFieldText(name, {});
    }
    currentPad_ = 0;
    hide();
    forgetPatterns();
    syncLists();
    refreshStatus();
}

void PadPropertiesDialog::deleteCurrentPad() {
    const int n = currentPad_;
    if (n == 0) {
        return;
    }
    apply(DeletePadEdit(n), std::nullopt);
    setFieldText(NameField::Pad, {});
    currentPad_ = 0;
    refreshStatus();
}

void PadPropertiesDialog::selectNetPads() {
    host_.deselectAllPads();
    const std::string pattern = fieldText(NameField::Net);
    board_->selectMatching("NetName", pattern);
    netPattern_ = pattern;
    compPattern_.clear();
    cboPad_->setEnabled(false);
    cmdDelPad_->setEnabled(false);
    cboComp_->setEnabled(false);
    cboNet_->setEnabled(true);
    host_.markersChanged();
}

void PadPropertiesDialog::selectComponentPads() {
    host_.deselectAllPads();
    const std::string pattern = fieldText(NameField::Comp);
    board_->selectMatching("CompName", pattern);
    compPattern_ = pattern;
    netPattern_.clear();
    cboPad_->setEnabled(false);
    cmdDelPad_->setEnabled(false);
    cboNet_->setEnabled(false);
    cmdSelNet_->setEnabled(true);
    cboComp_->setEnabled(true);
    host_.markersChanged();
}

void PadPropertiesDialog::pickComponentName(int index) {
    if (index >= 0 && index < board_->compNames.size()) {
        setFieldText(NameField::Comp, board_->compNames[index]);
    }
}

void PadPropertiesDialog::pickSymbol(int index) {
    if (index >= 0) {
        cboSch_->setEditText(QString::number(index));
    }
}

void PadPropertiesDialog::pickFootprint(int index) {
    if (index >= 0) {
        cboPackage_->setEditText(cboLibP_->itemText(index));
    }
}

void PadPropertiesDialog::pickPartType(int index) {
    if (index >= 0) {
        cboLabel_->setEditText(cboLab_->itemText(index));
    }
}

void PadPropertiesDialog::refreshStatus() {
    Label1_->setText(QStringLiteral("Pad designator: (%1)").arg(board_->markers.visibleCount()));
    Label2_->setText(QStringLiteral("Net name: (%1)").arg(board_->netNames.nonEmptyCount()));
    Label3_->setText(QStringLiteral("Designator: (%1)").arg(board_->compNames.nonEmptyCount()));
    cmdDelPad_->setEnabled(currentPad_ != 0);
    const PadNames names = fieldNames();
    bool duplicate = currentPad_ != 0 && board_->duplicateExists(names);
    if (duplicate && !sameData(dataFields(), shownData_)) {
        // The pad's own unchanged names match its own record; the component data typed still need Apply.
        const PadNames own = board_->namesOf(currentPad_);
        duplicate = names.pad != own.pad || names.net != own.net || names.comp != own.comp;
    }
    cmdOk_->setText(duplicate ? QStringLiteral("Pad exist yet!") : QStringLiteral("&Apply (Enter)"));
    cmdOk_->setEnabled(!duplicate);
}

void PadPropertiesDialog::padsAdded(const std::vector<int>&) {
    refreshStatus();
}

void PadPropertiesDialog::padsRemoved(const std::vector<int>& pads) {
    if (std::binary_search(pads.begin(), pads.end(), currentPad_)) {
        currentPad_ = 0;  // "Del" must not stay armed for a pad that is gone
    }
    refreshStatus();
}

void PadPropertiesDialog::padsRenamed(const std::vector<int>& pads) {
    // An undone or redone naming of the current pad shows in its fields; the dialog's own Apply left them
    // as they are.
    if (!applying_ && std::binary_search(pads.begin(), pads.end(), currentPad_)) {
        loadCurrentPad();
    }
    refreshStatus();
}

void PadPropertiesDialog::componentsChanged() {
    // Data stored elsewhere (the export dialog, an undo) show at once; data the user is typing stay typed.
    const bool untouched = sameData(dataFields(), shownData_);
    syncLists();
    if (untouched) {
        showComponentData();
    }
    refreshStatus();
}

void PadPropertiesDialog::loadPickLists() {
    if (activating_) {
        return;
    }
    activating_ = true;

    std::vector<std::string> footprints;
    LoadFootprintPickList(programDir_, ui_, footprints);
    QStringList footprintItems;
    for (const std::string& name : footprints) {
        footprintItems << toQ(name);
    }
    fillList(cboLibP_, footprintItems);

    symbols_.clear();
    LoadSchematicPickList(programDir_, ui_, SymbolWordCase::Insensitive, symbols_);
    QStringList symbolItems;
    for (const std::string& name : symbols_) {
        symbolItems << toQ(name);
    }
    fillList(cboLib_, symbolItems);
    activating_ = false;
}

bool PadPropertiesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace korvane
