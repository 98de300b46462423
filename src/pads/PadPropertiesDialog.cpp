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
    form_.build(this);
    for (NameField name : kNameFields) {
        QComboBox* box = field(name);
        connect(box, &QComboBox::editTextChanged, this, [this, name] { nameTextChanged(name); });
        box->lineEdit()->installEventFilter(this);
    }
    for (QComboBox* data : {form_.cboSch, form_.cboLabel, form_.cboPackage}) {
        // Component data typed or picked are something for Apply to store.
        connect(data, &QComboBox::editTextChanged, this, [this] {
            if (!settingFields_) {
                form_.cmdOk->setEnabled(true);
                refreshStatus();
            }
        });
    }
    connect(form_.cboComp, &QComboBox::activated, this, &PadPropertiesDialog::pickComponentName);
    connect(form_.cboLib, &QComboBox::activated, this, &PadPropertiesDialog::pickSymbol);
    connect(form_.cboLibP, &QComboBox::activated, this, &PadPropertiesDialog::pickFootprint);
    connect(form_.cboLab, &QComboBox::activated, this, &PadPropertiesDialog::pickPartType);
    connect(form_.cmdOk, &QPushButton::clicked, this, &PadPropertiesDialog::applyNames);
    connect(form_.cmdCancel, &QPushButton::clicked, this, &PadPropertiesDialog::closeDialog);
    connect(form_.cmdDelPad, &QPushButton::clicked, this, &PadPropertiesDialog::deleteCurrentPad);
    connect(form_.cmdSelNet, &QPushButton::clicked, this, &PadPropertiesDialog::selectNetPads);
    connect(form_.cmdSelComp, &QPushButton::clicked, this, &PadPropertiesDialog::selectComponentPads);
    new UserActivation(this, [this] { loadPickLists(); });
}

QComboBox* PadPropertiesDialog::field(NameField name) const {
    switch (name) {
        case NameField::Pad:
            return form_.cboPad;
        case NameField::Net:
            return form_.cboNet;
        case NameField::Comp:
            break;
    }
    return form_.cboComp;
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
    data.libRef = dataBytes_[0].read(form_.cboSch->currentText(), {});
    data.partType = dataBytes_[1].read(form_.cboLabel->currentText(), {});
    data.footprint = dataBytes_[2].read(form_.cboPackage->currentText(), {});
    return data;
}

void PadPropertiesDialog::showComponentData() {
    shownData_ = board_->componentData(fieldText(NameField::Comp));
    settingFields_ = true;
    form_.cboSch->setEditText(dataBytes_[0].set(shownData_.libRef));
    form_.cboLabel->setEditText(dataBytes_[1].set(shownData_.partType));
    form_.cboPackage->setEditText(dataBytes_[2].set(shownData_.footprint));
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
    fillList(form_.cboPad, texts(board_->padNames.items()));
    fillList(form_.cboNet, texts(board_->netNames.items()));
    fillList(form_.cboComp, texts(board_->compNames.items()));
    fillList(form_.cboSch, libRefs);
    fillList(form_.cboLabel, partTypes);
    fillList(form_.cboPackage, footprints);
    settingFields_ = false;
}

void PadPropertiesDialog::nameTextChanged(NameField name) {
    if (settingFields_) {
        return;
    }
    for (NameField each : kNameFields) {
        if (!field(each)->currentText().isEmpty()) {
            form_.cmdOk->setEnabled(true);
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
    const bool keep = form_.chkAutoSet->isChecked();
    setFieldText(NameField::Pad, names.pad);
    if (!names.net.empty() || !keep) {
        setFieldText(NameField::Net, names.net);
    }
    if (!names.comp.empty() || !keep) {
        setFieldText(NameField::Comp, names.comp);
    }
    form_.cmdOk->setEnabled(false);
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
            ui_.tell(problem, "Invalid name:", MsgIcon::Exclamation);
            return false;
        }
    }
    return true;
}

void PadPropertiesDialog::afterApply() {
    form_.cmdOk->setEnabled(false);
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
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.cboPad, form_.cmdDelPad, form_.cboNet, form_.cmdSelNet, form_.cboComp, form_.cmdSelComp}) {
        control->setEnabled(enabled);
    }
    // "Del" is for the current pad only, whatever else is enabled.
    form_.cmdDelPad->setEnabled(currentPad_ != 0);
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
    form_.cboPad->setEnabled(false);
    form_.cmdDelPad->setEnabled(false);
    form_.cboComp->setEnabled(false);
    form_.cboNet->setEnabled(true);
    host_.markersChanged();
}

void PadPropertiesDialog::selectComponentPads() {
    host_.deselectAllPads();
    const std::string pattern = fieldText(NameField::Comp);
    board_->selectMatching("CompName", pattern);
    compPattern_ = pattern;
    netPattern_.clear();
    form_.cboPad->setEnabled(false);
    form_.cmdDelPad->setEnabled(false);
    form_.cboNet->setEnabled(false);
    form_.cmdSelNet->setEnabled(true);
    form_.cboComp->setEnabled(true);
    host_.markersChanged();
}

void PadPropertiesDialog::pickComponentName(int index) {
    if (index >= 0 && index < board_->compNames.size()) {
        setFieldText(NameField::Comp, board_->compNames[index]);
    }
}

void PadPropertiesDialog::pickSymbol(int index) {
    if (index >= 0) {
        form_.cboSch->setEditText(QString::number(index));
    }
}

void PadPropertiesDialog::pickFootprint(int index) {
    if (index >= 0) {
        form_.cboPackage->setEditText(form_.cboLibP->itemText(index));
    }
}

void PadPropertiesDialog::pickPartType(int index) {
    if (index >= 0) {
        form_.cboLabel->setEditText(form_.cboLab->itemText(index));
    }
}

void PadPropertiesDialog::refreshStatus() {
    form_.Label1->setText(QStringLiteral("Pad designator: (%1)").arg(board_->markers.visibleCount()));
    form_.Label2->setText(QStringLiteral("Net name: (%1)").arg(board_->netNames.nonEmptyCount()));
    form_.Label3->setText(QStringLiteral("Designator: (%1)").arg(board_->compNames.nonEmptyCount()));
    form_.cmdDelPad->setEnabled(currentPad_ != 0);
    const PadNames names = fieldNames();
    bool duplicate = currentPad_ != 0 && board_->duplicateExists(names);
    if (duplicate && !sameData(dataFields(), shownData_)) {
        // The pad's own unchanged names match its own record; the component data typed still need Apply.
        const PadNames own = board_->namesOf(currentPad_);
        duplicate = names.pad != own.pad || names.net != own.net || names.comp != own.comp;
    }
    form_.cmdOk->setText(duplicate ? QStringLiteral("Pad exist yet!") : QStringLiteral("&Apply (Enter)"));
    form_.cmdOk->setEnabled(!duplicate);
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
    fillList(form_.cboLibP, footprintItems);

    symbols_.clear();
    LoadSchematicPickList(programDir_, ui_, SymbolWordCase::Insensitive, symbols_);
    QStringList symbolItems;
    for (const std::string& name : symbols_) {
        symbolItems << toQ(name);
    }
    fillList(form_.cboLib, symbolItems);
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
