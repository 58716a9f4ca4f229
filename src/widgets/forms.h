#pragma once
#include <QString>

#include <functional>

class QAbstractButton;
class QFormLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace ombx {

class Prompter;

// The busy cursor for as long as the object lives.
struct BusyCursor {
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs a handler of a window the way the main window runs its commands: a
// database or conversion error that escapes it is shown in the error box and
// the window carries on.
void runGuarded(Prompter& prompter, const std::function<void()>& handler);
// The same, as a slot to connect a button to.
inline std::function<void()> guarded(Prompter& prompter, std::function<void()> handler)
{
    return [&prompter, handler = std::move(handler)] { runGuarded(prompter, handler); };
}

// Adds "caption" and its field as one row; the caption is the field's buddy,
// so screen readers announce it and UI automation finds the field by it.
QLabel* addRow(QFormLayout* form, const QString& caption, QWidget* field, const QString& unit = {});
// A labelled pair placed anywhere: returns the label, buddy set.
QLabel* captionFor(QWidget* field, const QString& caption, QWidget* parent = nullptr);
// A push button with its caption, object name and hint.
QPushButton* makeButton(const QString& caption, const QString& objectName = {}, const QString& hint = {},
                        QWidget* parent = nullptr);

} // namespace ombx
