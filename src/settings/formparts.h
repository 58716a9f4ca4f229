#pragma once
#include <QString>

class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

// Small form pieces of the settings windows (kept here, not in the shared
// widgets, so this folder builds on its own).
namespace ombx::formparts {

// Adds "caption" and its field as one form row, with an optional unit after
// the field; the caption is the field's buddy and its accessible name.
QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& unit = {});
// A push button with its caption (also its accessible name) and object name.
QPushButton* button(const QString& caption, const QString& objectName, QWidget* parent);

} // namespace ombx::formparts
