// "PC Buffer Setting": folder, maximum number of 1 MiB blocks, the warning
// before measuring over existing data and the ring buffer. OK checks every
// field and may create the folder; the settings change only when all pass.
#pragma once
#include <QString>

#include "commlib_ui/plugin_abi.h"
#include "modal_dialog.h"

namespace commlib::ui {

class BufferSettingDialog final : public ModalDialog {
public:
    static constexpr int Template = 103;
    static constexpr int IdFolder = 201, IdBrowse = 202, IdMaxBlocks = 203, IdWarn = 204, IdRing = 205;

    explicit BufferSettingDialog(CommlibUiBuffer& settings) : settings_(settings) {}

    int OnInitDialog() override;
    int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;
    bool OnOK() override;

protected:
    bool BuildTemplate(int templateId, QDialog& window) override;

private:
    void BrowseFolder();
    // Shows the refusal over the dialog and keeps it open (false).
    bool Refuse(const QString& text);

    CommlibUiBuffer& settings_;
};

}  // namespace commlib::ui
