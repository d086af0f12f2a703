// Small helpers that create the main window's widgets with their control id
// as object name and their caption in the chosen language.
#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "ui/ui_texts.h"

namespace capstore {

template <typename W>
W* named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

template <typename W>
W* captioned(int id, Language language, QWidget* parent) {
    return named(new W(qs(caption_text(id, language)), parent), id);
}

inline QLabel* label_for(int id, Language language, QWidget* parent) {
    auto* label = new QLabel(qs(caption_text(kLabel + id, language)), parent);
    label->setObjectName(QString("label%1").arg(id));
    return label;
}

inline QComboBox* drop_down(int id, Language language, QWidget* parent) {
    auto* box = named(new QComboBox(parent), id);
    for (std::string_view item : list_items(id, language)) box->addItem(qs(item));
    return box;
}

inline QLineEdit* number_edit(int id, int digits, QWidget* parent) {
    auto* edit = named(new QLineEdit(parent), id);
    edit->setMaxLength(digits);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setMaximumWidth(70);
    return edit;
}

}  // namespace capstore
