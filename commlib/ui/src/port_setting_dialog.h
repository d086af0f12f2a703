// "Serial Port Setting": port, speed (shown, not editable), parity and
// X-Control of the library's settings; they change only on OK.
#pragma once
#include <string>
#include <vector>

#include "commlib_ui/plugin_abi.h"
#include "modal_dialog.h"

namespace commlib::ui {

class PortSettingDialog final : public ModalDialog {
public:
    static constexpr int Template = 101;
    static constexpr int IdPort = 101, IdSpeed = 102, IdParity = 103, IdXControl = 104;

    // devices: what follows COM1..COM8 in the port list.
    PortSettingDialog(CommlibUiPort& settings, std::vector<std::string> devices);

    int OnInitDialog() override;
    bool OnOK() override;

protected:
    bool BuildTemplate(int templateId, QDialog& window) override;

private:
    CommlibUiPort& settings_;
    std::vector<std::string> ports_;
};

}  // namespace commlib::ui
