#pragma once
#include <QHash>
#include <QMainWindow>

#include <functional>

class QLabel;

namespace ombx {

struct AppContext;

// The main window: every function of the program is a command of its menu
// bar, the most used ones also buttons of its tool bar. Which commands a
// login class sees is decided once, when the window is made. Entries whose
// command is not wired stay disabled.
class TFmmain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFmmain(AppContext& ctx, QWidget* parent = nullptr);

    using Command = std::function<void()>;
    // Wires a command to the menu entry of that caption (and its tool
    // button): the entry becomes enabled and runs it inside the error box.
    void setCommand(const QString& caption, Command command);
    // Runs a command as the menu does: any database or other error that
    // escapes it is shown in the error box and the program carries on.
    void run(const Command& command);

    QAction* menuAction(const QString& caption) const { return m_menuActions.value(caption); }
    QAction* toolAction(const QString& caption) const { return m_toolActions.value(caption); }
    QAction* menuOf(const QString& title) const { return m_menus.value(title); }
    QStringList visibleMenuEntries() const;   // "menu/entry" for every visible entry
    QStringList visibleToolButtons() const;
    QStringList statusTexts() const;

    // The start-up message of a second copy: restore if minimised, then come to the front.
    void bringToFront();

    // Set when "重新登陆" closed the window; the program then starts anew.
    bool reloginRequested() const { return m_relogin; }
    void requestRelogin() { m_relogin = true; }

    // Ends the program because of an error a command cannot carry on from:
    // the window closes and the login record keeps "非正常退出！".
    void closeOnFailure()
    {
        m_failed = true;
        close();
    }
    bool closedOnFailure() const { return m_failed; }

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void applyClass();

    AppContext& m_ctx;
    QHash<QString, QAction*> m_menuActions;
    QHash<QString, QAction*> m_toolActions;
    QHash<QString, QAction*> m_menus;
    QList<QLabel*> m_status;
    bool m_relogin = false;
    bool m_failed = false;
};

} // namespace ombx
