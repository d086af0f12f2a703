// Table data dialog rules. The capacity check and the move of the later tables
// are the settings-file library's; a refused text changes nothing.
#include "setxfer_flows/table_controller.h"

#include "setxfer/table_input.h"
#include "setxfer_flows/file_access.h"
#include "setxfer_flows/texts.h"

namespace setxfer {

void TableController::open() {
    s_.target = this;
    show_free();
}

void TableController::show_free() {
    auto table = s_.bodies().table;
    int free = table.empty() ? 0 : static_cast<int>(table_free_cells(table));
    view_.set_free(texts::with_number(texts::kFree, free));
}

void TableController::send() {
    view_.set_status(texts::kTableSending);
    view_.set_controls(TableView::Controls::None);
    std::string text = view_.editor_bytes();
    auto table = s_.mutable_bodies().table;
    std::optional<Failure> refused;
    if (table.empty()) {
        refused = Failure{FailureKind::TableInput, {}, {}, false};
    } else {
        refused = put_table_text(table, view_.selected_table(),
                                 std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    if (refused) {
        if (!refused->message.empty())
            view_.show_message({std::string(refused->message), std::string(refused->caption),
                                refused->warning_icon ? Icon::Warning : Icon::None, Buttons::Ok, true});
        view_.set_status("");
        view_.set_controls(TableView::Controls::All);
        return;
    }
    s_.remote->Request(ReqPutTable, 0, 0);
}

void TableController::clear() {
    view_.set_editor_bytes("");
    view_.set_status("");
}

void TableController::show_last() {
    auto bytes = files::read_at_most(kLastTextFile, kLastTextSize);
    if (!bytes) return;
    // The file is the text followed by zero bytes; the text ends at the first of them.
    bytes->resize(std::min(bytes->find('\0'), bytes->size()));
    view_.set_editor_bytes(*bytes);
    view_.set_status(texts::kShown);
}

void TableController::save_last() {
    std::string block = view_.editor_bytes();
    block.resize(kLastTextSize, '\0');
    files::write_whole(kLastTextFile, block);  // nothing to tell when it cannot be written
}

void TableController::cancel() {
    save_last();
    s_.work_mode = WorkMode::Ending;
    s_.target = &main_;
    s_.remote->Request(ReqGetSetup, 0, 0);
    view_.close();
}

void TableController::on_notify(int code, int status, void* data) {
    if (code != ReqPutTable) return main_.on_notify(code, status, data);
    if (status == StatusDone) {
        view_.set_status(texts::kSent);
        show_free();
        view_.set_controls(TableView::Controls::All);
        return;
    }
    view_.set_status(texts::kTableSendFailed);
    view_.set_controls(TableView::Controls::CancelOnly);
    if (status != StatusNoAnswer) return;
    view_.show_message({std::string(texts::kLinkLostSetup), std::string(texts::kWriteErrorCaption)});
    s_.target = &main_;
    save_last();
    view_.close();
    main_.on_notify(code, status, data);
}

}  // namespace setxfer
