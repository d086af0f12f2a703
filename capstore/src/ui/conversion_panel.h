// The "Text conversion" group of the main window: output folder, blocks,
// lines, format and line choice, the two option pages, the run buttons and
// the progress. Rules of the pages live here; the run is ConvertController's.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

#include "convert/convert_controller.h"
#include "convert/line_state_lists.h"
#include "texts/string_table.h"
#include "ui/indicator_strip.h"

namespace capstore {

class ConversionPanel : public QGroupBox, public ConvertView {
    Q_OBJECT
public:
    ConversionPanel(Language language, QWidget* parent);

    PanelValues panel() const override;
    void load_panel(const PanelValues& values) override;
    void set_panel_enabled(bool enabled) override;

    IndicatorStrip* indicator() const { return indicator_; }
    QPushButton* start_button() const { return start_; }
    QPushButton* stop_button() const { return stop_; }
    QPushButton* delete_button() const { return delete_; }
    QLabel* progress() const { return progress_; }
    QPushButton* browse_button() const { return browse_; }

private:
    QLayout* build_fields();
    QWidget* build_print_page();
    QWidget* build_csv_page();
    QWidget* build_line_state_lists();
    void apply_page_rules();
    void show_lists();
    void lists_changed();
    void browse();

    Language language_;
    bool enabled_ = true;
    LineStateLists lists_;
    IndicatorStrip* indicator_;
    QLineEdit *path_, *lines_, *start_block_, *blocks_, *width_, *delimit_;
    QPushButton *browse_, *start_, *stop_, *delete_;
    QComboBox *format_, *line_, *data_, *frame_, *packet_, *csv_form_, *csv_data_;
    QRadioButton *normal_, *translate_;
    QCheckBox *no_guide_, *no_time_, *no_idle_, *line_state_;
    QListWidget *exclude_, *include_;
    QPushButton *to_include_, *to_exclude_, *up_, *down_;
    QStackedWidget* pages_;
    QLabel* progress_;
};

}  // namespace capstore
