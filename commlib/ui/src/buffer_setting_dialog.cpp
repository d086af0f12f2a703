// The PC buffer dialog: its template, the folder chooser and the checks of OK
// in the order the user meets them.
#include "buffer_setting_dialog.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <cstring>

#include "dialog_buttons.h"
#include "folder_checks.h"
#include "pcbuffer/buffer_names.h"
#include "ui_texts.h"
#include "warning_box.h"

namespace commlib::ui {
namespace {

constexpr Text Title{"PC Buffer Setting", "PCバッファ設定"};
constexpr Text FolderLabel{"&Location to store the buffer file", "バッファファイル保存場所(&L)"};
constexpr Text MaxBlocksLabel{"&Max. block (1MBytes per block)", "最大ブロック数（1ブロックは1Mバイト）(&M)"};
constexpr Text WarnLabel{"&Warning before measurement against the existing data",
                         "既存データがあるときは測定開始前に警告する。(&W)"};
constexpr Text RingLabel{"Use as &ring buffer", "リングバッファとして使用する。(&R)"};
// The digits of pcbuffer::kMaxBlocksLimit: the longest value the field takes.
constexpr int MaxBlocksDigits = [] {
    int digits = 1;
    for (int n = pcbuffer::kMaxBlocksLimit; n >= 10; n /= 10) ++digits;
    return digits;
}();

template <class W>
W* Numbered(int id, W* widget) {
    widget->setObjectName(QString::number(id));
    return widget;
}

}  // namespace

bool BufferSettingDialog::BuildTemplate(int templateId, QDialog& window) {
    if (templateId != Template) return false;
    window.setWindowTitle(LocalText(Title));
    auto* grid = new QGridLayout(&window);
    auto* folder = Numbered(IdFolder, new QLineEdit(&window));
    auto* folderLabel = new QLabel(LocalText(FolderLabel), &window);
    folderLabel->setBuddy(folder);
    grid->addWidget(folderLabel, 0, 0, 1, 3);
    grid->addWidget(folder, 1, 0, 1, 2);
    grid->addWidget(Numbered(IdBrowse, new QPushButton(QStringLiteral("..."), &window)), 1, 2);
    auto* maxBlocks = Numbered(IdMaxBlocks, new QLineEdit(&window));
    maxBlocks->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), maxBlocks));
    auto* maxLabel = new QLabel(LocalText(MaxBlocksLabel), &window);
    maxLabel->setBuddy(maxBlocks);
    grid->addWidget(maxLabel, 2, 0);
    grid->addWidget(maxBlocks, 2, 1);
    grid->addWidget(Numbered(IdWarn, new QCheckBox(LocalText(WarnLabel), &window)), 3, 0, 1, 3);
    grid->addWidget(Numbered(IdRing, new QCheckBox(LocalText(RingLabel), &window)), 4, 0, 1, 3);
    grid->addLayout(OkCancelButtons(window, Qt::Horizontal), 5, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    SizeInDialogUnits(window, 207, 115);
    return true;
}

int BufferSettingDialog::OnInitDialog() {
    auto* maxBlocks = Control<QLineEdit>(IdMaxBlocks);
    maxBlocks->setMaxLength(MaxBlocksDigits);
    settings_.Folder[sizeof settings_.Folder - 1] = '\0';
    Control<QLineEdit>(IdFolder)->setText(QFile::decodeName(settings_.Folder));
    maxBlocks->setText(QString::number(static_cast<unsigned>(settings_.MaxBlocks)));
    Control<QCheckBox>(IdWarn)->setChecked(settings_.Warn != 0);
    Control<QCheckBox>(IdRing)->setChecked(settings_.Ring != 0);
    return ModalDialog::OnInitDialog();
}

int BufferSettingDialog::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
    if ((wParam & 0xFFFF) == IdBrowse) {
        BrowseFolder();
        return 1;
    }
    return ModalDialog::OnCommand(wParam, lParam);
}

void BufferSettingDialog::BrowseFolder() {
    auto* folder = Control<QLineEdit>(IdFolder);
    const QString chosen = ChooseFolder(Window(), TableText(StrChooseFolder), folder->text());
    if (!chosen.isEmpty()) folder->setText(chosen);
    folder->setFocus();
}

bool BufferSettingDialog::Refuse(const QString& text) {
    ShowWarning(Window(), Window()->windowTitle(), text, false);
    return false;
}

bool BufferSettingDialog::OnOK() {
    auto* folder = Control<QLineEdit>(IdFolder);
    const auto full = FullFolderPath(QFile::encodeName(folder->text()).toStdString());
    if (!full) return Refuse(TableText(StrBadLocation));
    folder->setText(QFile::decodeName(QByteArray::fromStdString(*full)));
    if (IsRootFolder(*full)) return Refuse(TableText(StrRootRefused));
    const auto maxBlocks = ParseMaxBlocks(Control<QLineEdit>(IdMaxBlocks)->text().toStdString());
    if (!maxBlocks)
        return Refuse(
            TableText(StrBadMaxBlocks).replace(QStringLiteral("%d"), QString::number(pcbuffer::kMaxBlocksLimit)));
    switch (InspectFolder(*full)) {
    case FolderState::Folder: break;
    case FolderState::NotAFolder: return Refuse(TableText(StrNotAFolder));
    case FolderState::Missing:
        if (!ShowWarning(Window(), Window()->windowTitle(), TableText(StrMakeFolder), true)) return false;
        if (!MakeFolderChain(*full)) return Refuse(TableText(StrCannotMake));
        break;
    }
    std::strncpy(settings_.Folder, full->c_str(), sizeof settings_.Folder - 1);
    settings_.Folder[sizeof settings_.Folder - 1] = '\0';
    settings_.MaxBlocks = *maxBlocks;
    settings_.Warn = Control<QCheckBox>(IdWarn)->isChecked() ? 1 : 0;
    settings_.Ring = Control<QCheckBox>(IdRing)->isChecked() ? 1 : 0;
    return true;
}

}  // namespace commlib::ui
