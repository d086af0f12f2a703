// The conversion panel's values and rules: loading and reading the controls,
// the Normal/Translation groups, the line-state lists and the panel's state
// while a conversion runs.
#include <QSignalBlocker>

#include "convert/line_state_lists.h"
#include "ui/conversion_panel.h"
#include "ui/ui_texts.h"

namespace capstore {
namespace {

std::vector<int> selected_rows(const QListWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) rows.push_back(i);
    return rows;
}

void fill(QListWidget* list, const std::vector<LineStateItem>& items) {
    const QSignalBlocker block(list);
    list->clear();
    for (const LineStateItem& item : items) {
        auto* row = new QListWidgetItem(qs(kLineStateNames[item.index]), list);
        row->setData(Qt::UserRole, item.index);
        row->setSelected(item.selected);
    }
}

int clamp_index(int value, const QComboBox* box) { return value >= 0 && value < box->count() ? value : 0; }

}  // namespace

PanelValues ConversionPanel::panel() const {
    PanelValues v;
    v.format = format_->currentIndex();
    v.line = line_->currentIndex();
    v.start = start_block_->text().toStdString();
    v.blocks = blocks_->text().toStdString();
    v.save_path = path_->text().toStdString();
    v.max_lines = lines_->text().toStdString();
    v.translate = translate_->isChecked();
    v.print_data = data_->currentIndex();
    v.no_guide = no_guide_->isChecked();
    v.line_state = line_state_->isChecked();
    v.no_time_stamp = no_time_->isChecked();
    v.no_idle_time = no_idle_->isChecked();
    v.frame = frame_->currentIndex();
    v.packet = packet_->currentIndex();
    lists_.store(v.include);
    v.csv_form = csv_form_->currentIndex();
    v.csv_data = csv_data_->currentIndex();
    v.width = width_->text().toStdString();
    v.delimit = delimit_->text().toStdString();
    return v;
}

void ConversionPanel::load_panel(const PanelValues& v) {
    format_->setCurrentIndex(clamp_index(v.format, format_));
    line_->setCurrentIndex(clamp_index(v.line, line_));
    start_block_->setText(QString::fromStdString(v.start));
    blocks_->setText(QString::fromStdString(v.blocks));
    path_->setText(QString::fromStdString(v.save_path));
    lines_->setText(QString::fromStdString(v.max_lines));
    {
        const QSignalBlocker a(normal_), b(line_state_);
        (v.translate ? translate_ : normal_)->setChecked(true);
        line_state_->setChecked(v.line_state);
    }
    data_->setCurrentIndex(clamp_index(v.print_data, data_));
    no_guide_->setChecked(v.no_guide);
    no_time_->setChecked(v.no_time_stamp);
    no_idle_->setChecked(v.no_idle_time);
    frame_->setCurrentIndex(clamp_index(v.frame, frame_));
    packet_->setCurrentIndex(clamp_index(v.packet, packet_));
    signed char include[8];
    std::copy(std::begin(v.include), std::end(v.include), include);
    lists_.load(include);
    show_lists();
    csv_form_->setCurrentIndex(clamp_index(v.csv_form, csv_form_));
    csv_data_->setCurrentIndex(clamp_index(v.csv_data, csv_data_));
    width_->setText(QString::fromStdString(v.width));
    delimit_->setText(QString::fromStdString(v.delimit));
    pages_->setCurrentIndex(v.format == 1 ? 1 : 0);
    apply_page_rules();
}

void ConversionPanel::set_panel_enabled(bool enabled) {
    enabled_ = enabled;
    for (QWidget* w : std::initializer_list<QWidget*>{format_, line_, start_block_, blocks_, path_, browse_, lines_,
                                                      normal_, translate_, csv_form_, csv_data_, width_, delimit_})
        w->setEnabled(enabled);
    apply_page_rules();
}

void ConversionPanel::apply_page_rules() {
    const bool normal = enabled_ && normal_->isChecked();
    const bool translation = enabled_ && translate_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{data_, no_guide_, line_state_, no_time_, no_idle_})
        w->setEnabled(normal);
    frame_->setEnabled(translation);
    packet_->setEnabled(translation);
    const bool lists_on = normal && line_state_->isChecked();
    if (!lists_on) lists_.clear_selections();
    exclude_->setEnabled(lists_on);
    include_->setEnabled(lists_on);
    show_lists();
}

void ConversionPanel::show_lists() {
    fill(exclude_, lists_.exclude());
    fill(include_, lists_.include());
    const bool on = exclude_->isEnabled();
    to_include_->setEnabled(on && lists_.to_include_enabled());
    to_exclude_->setEnabled(on && lists_.to_exclude_enabled());
    up_->setEnabled(on && lists_.up_enabled());
    down_->setEnabled(on && lists_.down_enabled());
}

void ConversionPanel::lists_changed() {
    if (sender() == exclude_) lists_.select_exclude(selected_rows(exclude_));
    else lists_.select_include(selected_rows(include_));
    const bool on = exclude_->isEnabled();
    to_include_->setEnabled(on && lists_.to_include_enabled());
    to_exclude_->setEnabled(on && lists_.to_exclude_enabled());
    up_->setEnabled(on && lists_.up_enabled());
    down_->setEnabled(on && lists_.down_enabled());
}

}  // namespace capstore
