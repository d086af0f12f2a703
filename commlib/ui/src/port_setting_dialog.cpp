// The serial port dialog: its template, the lists it fills and the rules that
// turn the selections back into settings.
#include "port_setting_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "dialog_buttons.h"
#include "ui_texts.h"

namespace commlib::ui {
namespace {

constexpr Text Title{"Serial Port Setting", "シリアルポート設定"};

struct ListRow {
    int id;
    Text label;
};
constexpr ListRow Lists[] = {
    {PortSettingDialog::IdPort, {"&Port", "ポート(&P)"}},
    {PortSettingDialog::IdSpeed, {"&Speed", "通信速度(&S)"}},
    {PortSettingDialog::IdParity, {"&Parity", "パリティ(&P)"}},
    {PortSettingDialog::IdXControl, {"&X-Control", "X-CONTROL(&X)"}},
};

void FillChoices(QComboBox& list, const Choice* begin, const Choice* end) {
    for (const Choice* c = begin; c != end; ++c) list.addItem(TableText(c->stringId));
}

}  // namespace

PortSettingDialog::PortSettingDialog(CommlibUiPort& settings, std::vector<std::string> devices, AccessCheck access)
    : settings_(settings), ports_(PortList(devices)), access_(access) {}

bool PortSettingDialog::BuildTemplate(int templateId, QDialog& window) {
    if (templateId != Template) return false;
    window.setWindowTitle(LocalText(Title));
    auto* grid = new QGridLayout(&window);
    int row = 0;
    for (const ListRow& r : Lists) {
        auto* list = new QComboBox(&window);
        list->setObjectName(QString::number(r.id));
        auto* label = new QLabel(LocalText(r.label), &window);
        label->setBuddy(list);
        grid->addWidget(label, row, 0);
        grid->addWidget(list, row++, 1);
    }
    grid->addLayout(OkCancelButtons(window, Qt::Vertical), 0, 2, row, 1, Qt::AlignTop);
    auto* access = new QLabel(&window);
    access->setObjectName(QString::number(IdAccess));
    access->setWordWrap(true);
    access->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the udev rule is there to be copied
    access->hide();
    grid->addWidget(access, row, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    if (Japanese()) SizeInDialogUnits(window, 199, 93);
    else SizeInDialogUnits(window, 191, 91);
    return true;
}

int PortSettingDialog::OnInitDialog() {
    auto* port = Control<QComboBox>(IdPort);
    auto* speed = Control<QComboBox>(IdSpeed);
    auto* parity = Control<QComboBox>(IdParity);
    auto* xControl = Control<QComboBox>(IdXControl);
    for (const std::string& name : ports_) port->addItem(QString::fromStdString(name));
    for (int s : platform::ListedSpeeds) speed->addItem(QString::number(s));
    FillChoices(*parity, std::begin(ParityChoices), std::end(ParityChoices));
    FillChoices(*xControl, std::begin(XControlChoices), std::end(XControlChoices));

    settings_.Port[sizeof settings_.Port - 1] = '\0';
    port->setCurrentIndex(PortIndex(ports_, settings_.Port));
    speed->setCurrentIndex(std::max(SpeedIndex(settings_.Speed), 0));
    speed->setEnabled(false);
    parity->setCurrentIndex(ParityIndex(settings_.Parity));
    xControl->setCurrentIndex(XControlIndex(settings_.XControl));
    ShowAccess();
    QObject::connect(port, &QComboBox::currentIndexChanged, port, [this] { ShowAccess(); });
    return ModalDialog::OnInitDialog();
}

void PortSettingDialog::ShowAccess() {
    auto* label = Control<QLabel>(IdAccess);
    const std::string text = access_ ? access_(Control<QComboBox>(IdPort)->currentText().toStdString()) : "";
    label->setText(QString::fromStdString(text));
    label->setVisible(!text.empty());
    // The dialog's size is fixed in dialog units; the wrapped text may need more height.
    QDialog* window = Window();
    if (QLayout* layout = window->layout(); layout && !text.empty()) {
        layout->activate();
        window->resize(window->width(), std::max(window->height(), layout->totalHeightForWidth(window->width())));
    }
}

bool PortSettingDialog::OnOK() {
    const QByteArray name = Control<QComboBox>(IdPort)->currentText().toUtf8();
    std::strncpy(settings_.Port, name.constData(), sizeof settings_.Port - 1);
    settings_.Port[sizeof settings_.Port - 1] = '\0';
    // The speed list cannot be changed; a speed it does not list stays as it was
    // instead of turning into the first entry.
    if (SpeedIndex(settings_.Speed) >= 0) settings_.Speed = Control<QComboBox>(IdSpeed)->currentText().toInt();
    const int parity = Control<QComboBox>(IdParity)->currentIndex();
    settings_.Parity = parity >= 0 ? ParityChoices[parity].value : 0;
    settings_.XControl = XControlChoices[std::max(Control<QComboBox>(IdXControl)->currentIndex(), 0)].value;
    return true;
}

}  // namespace commlib::ui
