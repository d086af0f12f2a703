// Builds the conversion panel and its two option pages.
#include "ui/conversion_panel.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "app/main_view.h"
#include "convert/save_folder.h"
#include "ui/widget_helpers.h"

namespace capstore {

ConversionPanel::ConversionPanel(Language language, QWidget* parent)
    : QGroupBox(qs(caption_text(caption::kTextConversion, language)), parent), language_(language) {
    setObjectName(QString::number(id::kConversionPanel));
    indicator_ = named(new IndicatorStrip(IndicatorStrip::Picture::Convert, this), id::kConvertStrip);
    path_ = named(new QLineEdit(this), id::kPath);
    path_->setMaxLength(kPathLimit);
    browse_ = captioned<QPushButton>(id::kBrowse, language, this);
    browse_->setMaximumWidth(30);
    lines_ = number_edit(id::kMaxLines, kLinesDigits, this);
    start_block_ = number_edit(id::kStartBlock, kBlockDigits, this);
    blocks_ = number_edit(id::kBlockTotal, kBlockDigits, this);
    format_ = drop_down(id::kFormat, language, this);
    line_ = drop_down(id::kLine, language, this);
    start_ = captioned<QPushButton>(id::kStartConvert, language, this);
    stop_ = captioned<QPushButton>(id::kStopConvert, language, this);
    delete_ = captioned<QPushButton>(id::kDeleteText, language, this);
    progress_ = named(new QLabel("0", this), id::kProgress);

    QLayout* fields = build_fields();

    auto* options = new QGroupBox(qs(caption_text(caption::kOptions, language)), this);
    pages_ = named(new QStackedWidget(options), id::kOptionPages);
    pages_->addWidget(build_print_page());
    pages_->addWidget(build_csv_page());
    (new QVBoxLayout(options))->addWidget(pages_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addWidget(label_for(id::kProgress, language, this));
    buttons->addWidget(progress_);
    buttons->addStretch();
    buttons->addWidget(delete_);

    auto* column = new QVBoxLayout(this);
    column->addWidget(indicator_);
    column->addLayout(fields);
    column->addWidget(options);
    column->addLayout(buttons);
    stop_->hide();

    connect(format_, &QComboBox::currentIndexChanged, this, [this](int i) { pages_->setCurrentIndex(i != 0 ? 1 : 0); });
    connect(browse_, &QPushButton::clicked, this, &ConversionPanel::browse);
}

QLayout* ConversionPanel::build_fields() {
    const Language language = language_;
    auto* grid = new QGridLayout;
    auto* path_row = new QHBoxLayout;
    path_row->addWidget(path_, 1);
    path_row->addWidget(browse_);
    grid->addWidget(label_for(id::kPath, language, this), 0, 0);
    grid->addLayout(path_row, 0, 1, 1, 3);
    auto* lines_row = new QHBoxLayout;
    lines_row->addWidget(lines_);
    lines_row->addWidget(new QLabel(qs(caption_text(caption::kLines, language)), this));
    lines_row->addStretch();
    grid->addWidget(label_for(id::kMaxLines, language, this), 1, 0);
    grid->addLayout(lines_row, 1, 1);
    grid->addWidget(label_for(id::kStartBlock, language, this), 2, 0);
    grid->addWidget(start_block_, 2, 1);
    grid->addWidget(label_for(id::kBlockTotal, language, this), 2, 2);
    grid->addWidget(blocks_, 2, 3);
    grid->addWidget(label_for(id::kFormat, language, this), 3, 0);
    grid->addWidget(format_, 3, 1);
    grid->addWidget(label_for(id::kLine, language, this), 3, 2);
    grid->addWidget(line_, 3, 3);
    return grid;
}

QWidget* ConversionPanel::build_print_page() {
    auto* page = named(new QWidget(this), id::kPrintPage);
    normal_ = captioned<QRadioButton>(id::kNormal, language_, page);
    translate_ = captioned<QRadioButton>(id::kTranslate, language_, page);
    data_ = drop_down(id::kPrintData, language_, page);
    no_guide_ = captioned<QCheckBox>(id::kNoGuide, language_, page);
    no_time_ = captioned<QCheckBox>(id::kNoTimeStamp, language_, page);
    no_idle_ = captioned<QCheckBox>(id::kNoIdleTime, language_, page);
    line_state_ = captioned<QCheckBox>(id::kLineState, language_, page);
    frame_ = drop_down(id::kFrame, language_, page);
    packet_ = drop_down(id::kPacket, language_, page);

    auto* grid = new QGridLayout(page);
    grid->addWidget(normal_, 0, 0);
    grid->addWidget(label_for(id::kPrintData, language_, page), 1, 0);
    grid->addWidget(data_, 1, 1);
    grid->addWidget(no_guide_, 2, 0);
    grid->addWidget(no_time_, 2, 1);
    grid->addWidget(no_idle_, 3, 0);
    grid->addWidget(line_state_, 3, 1);
    grid->addWidget(build_line_state_lists(), 4, 0, 1, 2);
    grid->addWidget(translate_, 0, 2);
    grid->addWidget(label_for(id::kFrame, language_, page), 1, 2);
    grid->addWidget(frame_, 1, 3);
    grid->addWidget(label_for(id::kPacket, language_, page), 2, 2);
    grid->addWidget(packet_, 2, 3);
    grid->setRowStretch(5, 1);

    connect(normal_, &QRadioButton::toggled, this, [this] { apply_page_rules(); });
    connect(line_state_, &QCheckBox::toggled, this, [this] { apply_page_rules(); });
    return page;
}

QWidget* ConversionPanel::build_csv_page() {
    auto* page = named(new QWidget(this), id::kCsvPage);
    csv_form_ = drop_down(id::kCsvForm, language_, page);
    csv_data_ = drop_down(id::kCsvData, language_, page);
    width_ = number_edit(id::kCsvWidth, 3, page);
    delimit_ = named(new QLineEdit(page), id::kDelimiter);
    delimit_->setMaxLength(kDelimitLimit);
    auto* grid = new QGridLayout(page);
    const std::pair<int, QWidget*> rows[] = {
        {id::kCsvForm, csv_form_}, {id::kCsvData, csv_data_}, {id::kCsvWidth, width_}, {id::kDelimiter, delimit_}};
    int row = 0;
    for (const auto& [id, widget] : rows) {
        grid->addWidget(label_for(id, language_, page), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* ConversionPanel::build_line_state_lists() {
    auto* box = new QWidget(this);
    exclude_ = named(new QListWidget(box), id::kExcluded);
    include_ = named(new QListWidget(box), id::kIncluded);
    for (QListWidget* list : {exclude_, include_}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMaximumHeight(90);
    }
    to_include_ = named(new QPushButton(QString::fromUtf8("→"), box), id::kToIncluded);
    to_exclude_ = named(new QPushButton(QString::fromUtf8("←"), box), id::kToExcluded);
    up_ = named(new QPushButton(QString::fromUtf8("↑"), box), id::kMoveUp);
    down_ = named(new QPushButton(QString::fromUtf8("↓"), box), id::kMoveDown);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(qs(caption_text(caption::kExclude, language_)), box), 0, 0);
    grid->addWidget(new QLabel(qs(caption_text(caption::kInclude, language_)), box), 0, 2);
    grid->addWidget(exclude_, 1, 0, 4, 1);
    grid->addWidget(to_include_, 1, 1);
    grid->addWidget(to_exclude_, 2, 1);
    grid->addWidget(include_, 1, 2, 4, 1);
    grid->addWidget(up_, 1, 3);
    grid->addWidget(down_, 2, 3);
    for (QPushButton* b : {to_include_, to_exclude_, up_, down_}) b->setMaximumWidth(28);

    // Each arrow moves the selection between or within the lists, which are then shown again.
    using Move = void (LineStateLists::*)();
    const std::pair<QPushButton*, Move> moves[] = {{to_include_, &LineStateLists::move_to_include},
                                                   {to_exclude_, &LineStateLists::move_to_exclude},
                                                   {up_, &LineStateLists::move_up},
                                                   {down_, &LineStateLists::move_down}};
    for (const auto& row : moves)
        connect(row.first, &QPushButton::clicked, this, [this, move = row.second] {
            (lists_.*move)();
            show_lists();
        });
    connect(exclude_, &QListWidget::itemSelectionChanged, this, &ConversionPanel::lists_changed);
    connect(include_, &QListWidget::itemSelectionChanged, this, &ConversionPanel::lists_changed);
    return box;
}

void ConversionPanel::browse() {
    const QString start = QString::fromStdString(full_path(path_->text().toStdString()));
    const QString chosen = QFileDialog::getExistingDirectory(this, qs(string_text(str::kFolderBrowser, language_)),
                                                             start, QFileDialog::ShowDirsOnly);
    if (!chosen.isEmpty()) path_->setText(chosen);
    path_->setFocus();
}

}  // namespace capstore
