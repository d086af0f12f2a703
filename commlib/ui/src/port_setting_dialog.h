// "Serial Port Setting": port, speed (shown, not editable), parity and
// X-Control of the library's settings; they change only on OK. Under the
// lists, what stops this user from opening the chosen port, if anything.
#pragma once
#include <string>
#include <vector>

#include "commlib_ui/plugin_abi.h"
#include "modal_dialog.h"
#include "port_choices.h"

namespace commlib::ui {

class PortSettingDialog final : public ModalDialog {
public:
    static constexpr int Template = 101;
    static constexpr int IdPort = 101, IdSpeed = 102, IdParity = 103, IdXControl = 104, IdAccess = 105;
    // The text under the lists for a port name (PortAccessText; tests give their own).
    using AccessCheck = std::string (*)(const std::string& portName);

    // devices: what follows COM1..COM8 in the port list.
    PortSettingDialog(CommlibUiPort& settings, std::vector<std::string> devices, AccessCheck access = PortAccessText);

    int OnInitDialog() override;
    bool OnOK() override;

protected:
    bool BuildTemplate(int templateId, QDialog& window) override;

private:
    void ShowAccess();

    CommlibUiPort& settings_;
    std::vector<std::string> ports_;
    AccessCheck access_;
};

}  // namespace commlib::ui
