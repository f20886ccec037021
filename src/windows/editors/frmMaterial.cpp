#include "windows/editors/frmMaterial.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "util/Text.h"

#include "windows/SpinButton.h"
#include "windows/WidgetNames.h"

namespace delvar::windows {

frmMaterial::frmMaterial(editors::EditorContext& context, QWidget* parent)
    : QDialog(parent), logic_(context, *this) {
    setObjectName("frmMaterial");
    setWindowTitle("Materials");
    setModal(true);
    BuildControls();
    logic_.Open();
    Connect();
}

frmMaterial::~frmMaterial() {
    // The focus leaving a typed box as the dialog hides would report its text to the
    // logic, which is gone by then.
    for (QWidget* child : findChildren<QWidget*>()) child->blockSignals(true);
}

void frmMaterial::BuildControls() {
    cboMaterials_ = new QComboBox;
    cboMaterials_->setObjectName("cboMaterials");
    cboMaterials_->setToolTip("Select a material to edit.");
    cboMaterials_->setMaxVisibleItems(20);
    cboMaterials_->setMinimumWidth(
        cboMaterials_->fontMetrics().horizontalAdvance(QString(18, 'W')));
    cmdEdit_ = new QPushButton("&Rename");
    cmdEdit_->setObjectName("cmdEdit");
    cmdEdit_->setToolTip("Rename the selecetd material.");
    cmdEdit_->setAutoDefault(false);

    auto box = [](const char* name, const char* toolTip) {
        auto* edit = new QLineEdit;
        edit->setObjectName(name);
        edit->setToolTip(toolTip);
        edit->setAlignment(Qt::AlignRight);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("999.999") + 12);
        return edit;
    };
    txtDensity_ = box("txtDensity", "Set the material's density in gm/cc.");
    txtZFactor_ = box("txtZFactor", "Set the material's Z Factor.");
    spnDensity_ = SpinButton("spnDensity", "Set the material's density in gm/cc.",
                             [this](int step) { logic_.DensityStep(step); });
    spnZFactor_ = SpinButton("spnZFactor", "Set the material's Z Factor.",
                             [this](int step) { logic_.ZFactorStep(step); });
    auto* lblDensity = new QLabel("Density");
    auto* lblZFactor = new QLabel("Z Factor");
    lblDensity->setBuddy(txtDensity_);
    lblZFactor->setBuddy(txtZFactor_);

    auto* top = new QHBoxLayout;
    top->addWidget(cboMaterials_, 1);
    top->addWidget(cmdEdit_);

    auto* values = new QGridLayout;
    values->addWidget(lblDensity, 0, 0);
    values->addWidget(txtDensity_, 0, 1);
    values->addWidget(spnDensity_, 0, 2);
    values->setColumnMinimumWidth(3, 24);
    values->addWidget(lblZFactor, 0, 4);
    values->addWidget(txtZFactor_, 0, 5);
    values->addWidget(spnZFactor_, 0, 6);
    values->setColumnStretch(7, 1);
    values->setHorizontalSpacing(4);

    cmdClose_ = new QPushButton("&OK");
    cmdClose_->setObjectName("cmdClose");
    cmdClose_->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdClose_);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(values);
    all->addSpacing(8);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMaterial::Connect() {
    connect(cboMaterials_, &QComboBox::currentIndexChanged, this,
            [this](int index) { logic_.MaterialChosen(index); });
    connect(cmdEdit_, &QPushButton::clicked, this, [this] { logic_.Rename(); });
    // Only a typed change is checked: Enter, leaving the box, or the message box
    // opening over it must not check the shown value again.
    auto typed = [this](QLineEdit* edit,
                        void (editors::MaterialEditor::*take)(const std::string&)) {
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, take] {
            if (!edit->isModified()) return;
            edit->setModified(false);
            (logic_.*take)(edit->text().toStdString());
        });
    };
    typed(txtDensity_, &editors::MaterialEditor::DensityTyped);
    typed(txtZFactor_, &editors::MaterialEditor::ZFactorTyped);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::accept);
}

void frmMaterial::SetMaterialList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cboMaterials_);
    cboMaterials_->clear();
    for (const std::string& name : names) cboMaterials_->addItem(Q(util::Trim(name)));
}

void frmMaterial::SetMaterialEntry(int index, const std::string& name) {
    cboMaterials_->setItemText(index, Q(util::Trim(name)));
}

void frmMaterial::SelectMaterial(int index) {
    const QSignalBlocker quiet(cboMaterials_);
    cboMaterials_->setCurrentIndex(index);
}

void frmMaterial::SetDensityText(const std::string& text) {
    txtDensity_->setText(Q(text));
}

void frmMaterial::SetZFactorText(const std::string& text) {
    txtZFactor_->setText(Q(text));
}

void frmMaterial::FocusZFactor() {
    txtZFactor_->setFocus();
    txtZFactor_->selectAll();
}

}  // namespace delvar::windows
