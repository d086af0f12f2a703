// Table data dialog rules. The capacity check and the move of the later tables
// are the settings-file library's; a refused text changes nothing.
#include "setxfer_flows/table_controller.h"

#include "setxfer/table_input.h"
#include "setxfer_flows/file_access.h"
#include "setxfer_flows/texts.h"

namespace setxfer {

void TableController::open() {
    s_.target = this;
    showFree();
}

void TableController::showFree() {
    auto table = s_.bodies().table;
    int free = table.empty() ? 0 : static_cast<int>(table_free_cells(table));
    view_.setFree(texts::with_number(texts::kFree, free));
}

void TableController::send() {
    view_.setStatus(texts::kTableSending);
    view_.setControls(TableView::Controls::None);
    std::string text = view_.editorBytes();
    auto table = s_.mutable_bodies().table;
    std::optional<Failure> refused;
    if (table.empty()) {
        refused = Failure{FailureKind::TableInput, {}, {}, false};
    } else {
        refused = put_table_text(table, view_.selectedTable(),
                                 std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    if (refused) {
        if (!refused->message.empty())
            view_.showMessage({std::string(refused->message), std::string(refused->caption),
                               refused->warning_icon ? Icon::Warning : Icon::None, Buttons::Ok, true});
        view_.setStatus("");
        view_.setControls(TableView::Controls::All);
        return;
    }
    s_.remote->Request(ReqPutTable, 0, 0);
}

void TableController::clear() {
    view_.setEditorBytes("");
    view_.setStatus("");
}

void TableController::showLast() {
    auto bytes = files::read_at_most(kLastTextFile, kLastTextSize);
    if (!bytes) return;
    // The file is the text followed by zero bytes; the text ends at the first of them.
    bytes->resize(std::min(bytes->find('\0'), bytes->size()));
    view_.setEditorBytes(*bytes);
    view_.setStatus(texts::kShown);
}

void TableController::saveLast() {
    std::string block = view_.editorBytes();
    block.resize(kLastTextSize, '\0');
    files::write_whole(kLastTextFile, block);  // nothing to tell when it cannot be written
}

void TableController::cancel() {
    saveLast();
    s_.work_mode = WorkMode::Ending;
    s_.target = &main_;
    s_.remote->Request(ReqGetSetup, 0, 0);
    view_.close();
}

void TableController::onNotify(int code, int status, void* data) {
    if (code != ReqPutTable) return main_.onNotify(code, status, data);
    if (status == StatusDone) {
        view_.setStatus(texts::kSent);
        showFree();
        view_.setControls(TableView::Controls::All);
        return;
    }
    view_.setStatus(texts::kTableSendFailed);
    view_.setControls(TableView::Controls::CancelOnly);
    if (status != StatusNoAnswer) return;
    view_.showMessage({std::string(texts::kLinkLostSetup), std::string(texts::kWriteErrorCaption)});
    s_.target = &main_;
    saveLast();
    view_.close();
    main_.onNotify(code, status, data);
}

}  // namespace setxfer
