#pragma once
#include <QString>

class QAbstractButton;
class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace ombx {

// Adds "caption" and its field as one row; the caption is the field's buddy,
// so screen readers announce it and UI automation finds the field by it.
QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& unit = {});
// A labelled pair placed anywhere: returns the label, buddy set.
QLabel* captionFor(QWidget* field, const QString& caption, QWidget* parent = nullptr);
// A push button with its caption, object name and hint.
QPushButton* makeButton(const QString& caption, const QString& objectName = {}, const QString& hint = {},
                        QWidget* parent = nullptr);

} // namespace ombx
