#include "windows/app/frmComm.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "windows/app/QtFormWindow.h"

#include "windows/WidgetNames.h"

namespace delvar::windows {

frmComm::frmComm(link::Link& link, core::DialogService& dialogs, link::ConnectHost& connectHost,
                 app::CommWindowHost& host, app::SerialDevices& devices, QWidget* parent)
    : QDialog(parent), logic_(link, dialogs, connectHost, host, *this, devices), link_(link) {
    setObjectName("frmComm");
    setWindowTitle("Delvar Comm Setup");
    BuildControls();
    Connect();
}

void frmComm::BuildControls() {
    static constexpr const char* kTypeCaptions[3] = {"&RS-232", "&USB", "&Ethernet"};
    static constexpr const char* kTypeTips[3] = {"Select RS-242 communications.",
                                                 "Select USB communications.",
                                                 "Select Ethernet communications."};
    auto* fraComm = Named(new QGroupBox("Comm Port"), "fraComm");
    auto* types = new QVBoxLayout;
    optComm_ = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(kTypeCaptions[i]);
        option->setObjectName(QString("optComm_%1").arg(i));
        option->setToolTip(kTypeTips[i]);
        optComm_->addButton(option, i);
        types->addWidget(option);
    }
    types->addStretch();

    // The serial ports found, or any device path typed in (a pseudo-terminal, say).
    cboRS232_ = Named(new QComboBox, "cboRS232",
                      "Choose the serial port, or type its device path and press Enter.");
    cboRS232_->setEditable(true);
    cboRS232_->setInsertPolicy(QComboBox::NoInsert);
    cboRS232_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboRS232_->setMinimumContentsLength(34);
    lblAccess_ = Named(new QLabel, "lblAccess");
    lblAccess_->setWordWrap(true);
    lblAccess_->setStyleSheet("color: #a00000");
    lblAccess_->hide();
    auto* lblBaud = Named(new QLabel("Baud"), "lblBaud", "Select RS-232 baud rate.");
    cboBaud_ = Named(new QComboBox, "cboBaud", "Select RS-232 baud rate.");
    cboUSB_ = Named(new QComboBox, "cboUSB");
    cboUSB_->setPlaceholderText("No USB bridge found");
    txtEAddr_ = Named(new QLineEdit("192.168.1.200"), "txtEAddr",
                      "Pellan Ethernet address, typically 192.168.1.200");
    auto* lblPort = Named(new QLabel("Port"), "lblPort", "Pellan Ethernet port, typically 2101.");
    txtEport_ = Named(new QLineEdit("2101"), "txtEport", "Pellan Ethernet port, typically 2101.");
    lblBaud->setBuddy(cboBaud_);
    lblPort->setBuddy(txtEport_);

    // One port type's controls show at a time; they share the same cells, and the
    // cells keep their size so the window does not jump when the type changes.
    auto* port = new QGridLayout;
    const int wide = cboRS232_->sizeHint().width() + 24;
    for (QWidget* w : {static_cast<QWidget*>(cboRS232_), static_cast<QWidget*>(cboUSB_),
                       static_cast<QWidget*>(txtEAddr_)}) {
        w->setMinimumWidth(wide);
        port->addWidget(w, 0, 0, 1, 2);
    }
    port->addWidget(lblBaud, 1, 0);
    port->addWidget(lblPort, 1, 0);
    port->addWidget(cboBaud_, 1, 1);
    port->addWidget(txtEport_, 1, 1);
    port->setRowMinimumHeight(0, cboRS232_->sizeHint().height());
    port->setRowMinimumHeight(1, cboBaud_->sizeHint().height());
    port->setColumnMinimumWidth(0, lblBaud->sizeHint().width() + 8);
    port->addWidget(lblAccess_, 2, 0, 1, 2);
    port->setRowStretch(3, 1);

    chkSum_ = Named(new QCheckBox("Use Checksum"), "chkSum", "Use message checksums.");
    chkStart_ = Named(new QCheckBox("Search at Start"), "chkStart",
                      "Search for instrument when program starts.");
    cmdFind_ = Button("cmdFind", "&Find", "Search for an instrument on the selected comm port.");
    auto* options = new QHBoxLayout;
    options->addWidget(chkSum_);
    options->addWidget(chkStart_);
    options->addStretch();
    options->addWidget(cmdFind_);

    auto* portRow = new QHBoxLayout;
    portRow->addLayout(types);
    portRow->addSpacing(12);
    portRow->addLayout(port, 1);
    auto* commBox = new QVBoxLayout(fraComm);
    commBox->addLayout(portRow);
    commBox->addLayout(options);

    auto* fraTest = Named(new QGroupBox("Command Test"), "fraTest");
    txtSend_ = Named(new QLineEdit, "txtSend", "Enter a command to send.");
    cmdSend_ = Button("cmdSend", "&Send", "Send command to the instrument.");
    txtRcv_ = Named(new QLineEdit, "txtRcv", "Instrument response to the command.");
    txtRcv_->setReadOnly(true);
    auto* lblSend = Named(new QLabel("Command:"), "lblSend");
    auto* lblRcv = Named(new QLabel("Response:"), "lblRcv");
    lblSend->setBuddy(txtSend_);
    lblRcv->setBuddy(txtRcv_);
    auto* test = new QGridLayout(fraTest);
    test->addWidget(lblSend, 0, 0);
    test->addWidget(txtSend_, 0, 1);
    test->addWidget(cmdSend_, 0, 2);
    test->addWidget(lblRcv, 1, 0);
    test->addWidget(txtRcv_, 1, 1, 1, 2);
    test->setColumnStretch(1, 1);

    cmdOK_ = Button("cmdOK", "&Close", "Close this form.");
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK_);

    auto* all = new QVBoxLayout(this);
    all->addWidget(fraComm);
    all->addWidget(fraTest);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

void frmComm::Connect() {
    connect(optComm_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) logic_.PortTypeChosen(id);
    });
    connect(cboRS232_, &QComboBox::activated, this, [this](int i) { logic_.DeviceChosen(i); });
    connect(cboRS232_->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { logic_.DeviceTyped(cboRS232_->currentText().toStdString()); });
    connect(cboBaud_, &QComboBox::currentIndexChanged, this,
            [this](int i) { logic_.RateChosen(i); });
    connect(cboUSB_, &QComboBox::currentIndexChanged, this, [this](int i) { logic_.UsbChosen(i); });
    connect(chkSum_, &QCheckBox::toggled, this, [this](bool on) { logic_.ChecksumChanged(on); });
    connect(chkStart_, &QCheckBox::toggled, this, [this](bool on) { logic_.StartChanged(on); });
    connect(txtEAddr_, &QLineEdit::editingFinished, this,
            [this] { logic_.AddressLeft(txtEAddr_->text().toStdString()); });
    connect(txtEport_, &QLineEdit::editingFinished, this,
            [this] { logic_.PortTextLeft(txtEport_->text().toStdString()); });
    // A search or a command asked for while an exchange (a poll) waits starts once it
    // has ended, rather than being refused as busy; asked twice meanwhile, it runs once.
    const auto whenIdle = [this](bool& waits, std::function<void()> run) {
        if (waits) return;
        waits = true;
        link_.RunWhenIdle([window = QPointer<frmComm>(this), &waits, run = std::move(run)] {
            if (!window) return;
            waits = false;
            run();
        });
    };
    connect(cmdFind_, &QPushButton::clicked, this,
            [this, whenIdle] { whenIdle(findWaits_, [this] { logic_.Find(); }); });
    auto send = [this, whenIdle] {
        whenIdle(sendWaits_, [this] { logic_.Send(txtSend_->text().toStdString()); });
    };
    connect(cmdSend_, &QPushButton::clicked, this, send);
    connect(txtSend_, &QLineEdit::returnPressed, this, send);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::close);
}

void frmComm::Open() {
    if (logic_.IsOpen() && isVisible()) {
        raise();
        activateWindow();
        return;
    }
    logic_.Open();
    show();
}

void frmComm::ShowOnTop() {
    if (!logic_.IsOpen()) logic_.Open();
    SetTopmost(*this, true);
    show();
    raise();
    activateWindow();
}

void frmComm::done(int result) {
    // An address or port still being typed counts as left.
    logic_.AddressLeft(txtEAddr_->text().toStdString());
    logic_.PortTextLeft(txtEport_->text().toStdString());
    QDialog::done(result);
    logic_.Close();
}

void frmComm::SetControlVisible(const std::string& control, bool visible) {
    if (auto* w = findChild<QWidget*>(Q(control))) w->setVisible(visible);
}

void frmComm::SetPortType(int type) {
    if (auto* option = optComm_->button(type)) option->setChecked(true);
}

void frmComm::SetSerialChoices(const std::vector<std::string>& texts, int selected,
                               const std::string& shown) {
    const QSignalBlocker quiet(cboRS232_);
    cboRS232_->clear();
    for (const std::string& text : texts) cboRS232_->addItem(Q(text));
    cboRS232_->setCurrentIndex(selected);
    cboRS232_->setEditText(Q(shown));
}

void frmComm::SetPortNote(const std::string& text) {
    lblAccess_->setText(Q(text));
    lblAccess_->setVisible(!text.empty());
}

void frmComm::SetRateChoices(const std::vector<std::string>& rates, int selected) {
    cboBaud_->clear();
    for (const std::string& rate : rates) cboBaud_->addItem(Q(rate));
    cboBaud_->setCurrentIndex(selected);
}

void frmComm::SetUsbChoices(const std::vector<std::string>& serials, int selected) {
    // The logic keeps the setting in step with the selection itself.
    const QSignalBlocker quiet(cboUSB_);
    cboUSB_->clear();
    for (const std::string& serial : serials) cboUSB_->addItem(Q(serial));
    cboUSB_->setCurrentIndex(selected);
}

void frmComm::SetEthernet(const std::string& address, const std::string& port) {
    txtEAddr_->setText(Q(address));
    txtEport_->setText(Q(port));
}

void frmComm::SetChecks(bool checksum, bool searchAtStart) {
    chkSum_->setChecked(checksum);
    chkStart_->setChecked(searchAtStart);
}

void frmComm::SetCommandText(const std::string& text) {
    txtSend_->setText(Q(text));
}

void frmComm::SetResponseText(const std::string& text) {
    txtRcv_->setText(Q(text));
}

void frmComm::SetSendBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cmdSend_->setEnabled(false);
        txtRcv_->clear();
        cmdSend_->repaint();
        txtRcv_->repaint();
    } else {
        cmdSend_->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace delvar::windows
