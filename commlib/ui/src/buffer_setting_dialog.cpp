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
// "1024" written out: the longest value the field takes.
constexpr int MaxBlocksDigits = 4;

template <class W>
W* numbered(int id, W* widget) {
    widget->setObjectName(QString::number(id));
    return widget;
}

}  // namespace

bool BufferSettingDialog::buildTemplate(int templateId, QDialog& window) {
    if (templateId != Template) return false;
    window.setWindowTitle(localText(Title));
    auto* grid = new QGridLayout(&window);
    auto* folder = numbered(IdFolder, new QLineEdit(&window));
    auto* folderLabel = new QLabel(localText(FolderLabel), &window);
    folderLabel->setBuddy(folder);
    grid->addWidget(folderLabel, 0, 0, 1, 3);
    grid->addWidget(folder, 1, 0, 1, 2);
    grid->addWidget(numbered(IdBrowse, new QPushButton(QStringLiteral("..."), &window)), 1, 2);
    auto* maxBlocks = numbered(IdMaxBlocks, new QLineEdit(&window));
    maxBlocks->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), maxBlocks));
    auto* maxLabel = new QLabel(localText(MaxBlocksLabel), &window);
    maxLabel->setBuddy(maxBlocks);
    grid->addWidget(maxLabel, 2, 0);
    grid->addWidget(maxBlocks, 2, 1);
    grid->addWidget(numbered(IdWarn, new QCheckBox(localText(WarnLabel), &window)), 3, 0, 1, 3);
    grid->addWidget(numbered(IdRing, new QCheckBox(localText(RingLabel), &window)), 4, 0, 1, 3);
    grid->addLayout(okCancelButtons(window, Qt::Horizontal), 5, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    sizeInDialogUnits(window, 207, 115);
    return true;
}

int BufferSettingDialog::OnInitDialog() {
    auto* maxBlocks = control<QLineEdit>(IdMaxBlocks);
    maxBlocks->setMaxLength(MaxBlocksDigits);
    settings_.Folder[sizeof settings_.Folder - 1] = '\0';
    control<QLineEdit>(IdFolder)->setText(QFile::decodeName(settings_.Folder));
    maxBlocks->setText(QString::number(static_cast<unsigned>(settings_.MaxBlocks)));
    control<QCheckBox>(IdWarn)->setChecked(settings_.Warn != 0);
    control<QCheckBox>(IdRing)->setChecked(settings_.Ring != 0);
    return ModalDialog::OnInitDialog();
}

int BufferSettingDialog::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
    if ((wParam & 0xFFFF) == IdBrowse) {
        browseFolder();
        return 1;
    }
    return ModalDialog::OnCommand(wParam, lParam);
}

void BufferSettingDialog::browseFolder() {
    auto* folder = control<QLineEdit>(IdFolder);
    const QString chosen = chooseFolder(window(), tableText(StrChooseFolder), folder->text());
    if (!chosen.isEmpty()) folder->setText(chosen);
    folder->setFocus();
}

bool BufferSettingDialog::refuse(const QString& text) {
    showWarning(window(), window()->windowTitle(), text, false);
    return false;
}

bool BufferSettingDialog::OnOK() {
    auto* folder = control<QLineEdit>(IdFolder);
    const auto full = fullFolderPath(QFile::encodeName(folder->text()).toStdString());
    if (!full) return refuse(tableText(StrBadLocation));
    folder->setText(QFile::decodeName(QByteArray::fromStdString(*full)));
    if (isRootFolder(*full)) return refuse(tableText(StrRootRefused));
    const auto maxBlocks = parseMaxBlocks(control<QLineEdit>(IdMaxBlocks)->text().toStdString());
    if (!maxBlocks)
        return refuse(tableText(StrBadMaxBlocks).replace(QStringLiteral("%d"), QString::number(MaxBlocksLimit)));
    switch (inspectFolder(*full)) {
    case FolderState::Folder: break;
    case FolderState::NotAFolder: return refuse(tableText(StrNotAFolder));
    case FolderState::Missing:
        if (!showWarning(window(), window()->windowTitle(), tableText(StrMakeFolder), true)) return false;
        if (!makeFolderChain(*full)) return refuse(tableText(StrCannotMake));
        break;
    }
    std::strncpy(settings_.Folder, full->c_str(), sizeof settings_.Folder - 1);
    settings_.Folder[sizeof settings_.Folder - 1] = '\0';
    settings_.MaxBlocks = *maxBlocks;
    settings_.Warn = control<QCheckBox>(IdWarn)->isChecked() ? 1 : 0;
    settings_.Ring = control<QCheckBox>(IdRing)->isChecked() ? 1 : 0;
    return true;
}

}  // namespace commlib::ui
