#include "mainwindow.h"

#include "appcontext.h"
#include "dates.h"
#include "errors.h"
#include "prompter.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <exception>

// The background picture is compiled into the shell library; a static
// library's resources must be registered by hand.
static void initShellResources() { Q_INIT_RESOURCE(shell); }

namespace ombx {
namespace {

// The menu bar: menu, entry, shortcut, shown at first. "-" is a separator.
struct Entry {
    const char* menu;
    const char* caption;
    const char* key;
    bool shown;
};

const Entry kEntries[] = {
    {"文件", "读卡", "F4", true},
    {"文件", "回抄", "", true},
    {"文件", "-", "", true},
    {"文件", "备份数据", "", true},
    {"文件", "恢复数据", "", true},
    {"文件", "-", "", true},
    {"文件", "退出", "", true},
    {"一表一卡操作", "买电", "F2", true},
    {"一表一卡操作", "开户", "F3", true},
    {"一表一卡操作", "补卡", "", true},
    {"一表一卡操作", "换表", "", true},
    {"一表一卡操作", "改写电量", "", true},
    {"一表一卡操作", "退补电量", "", true},
    {"一表一卡操作", "-", "", true},
    {"一表一卡操作", "清卡", "", true},
    {"特殊卡操作", "复位卡", "", true},
    {"特殊卡操作", "测试卡", "", true},
    {"系统设置", "设置小区", "", false},
    {"系统设置", "设置电价", "", true},
    {"系统设置", "设置表型", "", true},
    {"系统设置", "设置容量", "", false},
    {"系统设置", "其他收费标准", "", false},
    {"用户信息", "修改用户信息", "", true},
    {"用户信息", "销户", "", true},
    {"用户信息", "过户", "", true},
    {"用户信息", "可疑查询", "", true},
    {"信息查询", "用户查询", "", true},
    {"信息查询", "用户购电", "", true},
    {"信息查询", "购电详细信息", "", true},
    {"信息查询", "-", "", true},
    {"信息查询", "购电月报表", "", true},
    {"信息查询", "购电日报表", "", true},
    {"信息查询", "购电日统计", "", true},
    {"信息查询", "购电月统计", "", true},
    {"信息查询", "-", "", true},
    {"信息查询", "销户查询", "", true},
    {"信息查询", "过户查询", "", true},
    {"信息查询", "补卡查询", "", true},
    {"信息查询", "回抄查询", "", true},
    {"信息查询", "-", "", true},
    {"信息查询", "单位月报表", "", true},
    {"信息查询", "单位日报表", "", true},
    {"信息查询", "段日期报表", "", true},
    {"信息查询", "退补电量查询", "", true},
    {"信息查询", "操作记录", "", false},
    {"信息查询", "其他收费报表", "", false},
    {"信息查询", "-", "", true},
    {"信息查询", "票据补打", "", true},
    {"其他", "打开USB读写器", "", true},
    {"其他", "局号局名", "", true},
    {"其他", "-", "", true},
    {"其他", "增加操作员", "", true},
    {"其他", "修改操作员", "", true},
    {"其他", "删除操作员", "", true},
    {"其他", "-", "", true},
    {"其他", "增加管理员", "", true},
    {"其他", "修改管理员", "", true},
    {"其他", "删除管理员", "", true},
    {"其他", "-", "", true},
    {"其他", "编辑报表/收款凭据设计", "", true},
    {"其他", "编辑报表/用户购电报表设计", "", true},
    {"其他", "-", "", true},
    {"其他", "重新登陆", "", true},
    {"帮助", "关于", "", true},
    {"帮助", "帮助", "F1", false},
};

// The tool bar, in order: caption and hint; "-" is a separator.
const std::pair<const char*, const char*> kTools[] = {
    {"复位卡", ""}, {"测试卡", ""}, {"清卡", "清所有类型卡"}, {"读卡", "一表一卡读卡"}, {"回抄", "一表一卡回抄"},
    {"-", ""},      {"买电", "一表一卡买电"}, {"开户", "一表一卡开户"}, {"补卡", "一表一卡补卡"},
    {"换表", "一表一卡换表"}, {"改写电量", "一表一卡改写电量"}, {"-", ""}, {"备份数据", ""}, {"恢复数据", ""},
    {"-", ""},      {"退出", "退出本软件！"},
};

// What each login class does not see.
const QStringList kHiddenForOperators = {"恢复数据", "修改用户信息", "局号局名", "增加操作员", "删除操作员",
                                         "增加管理员", "修改管理员", "删除管理员", "退补电量"};
const QStringList kMenusHiddenForOperators = {"特殊卡操作", "系统设置"};
const QStringList kToolsHiddenForOperators = {"恢复数据", "复位卡", "测试卡"};
const QStringList kHiddenForAdministrators = {"买电", "开户", "补卡", "换表", "改写电量", "可疑查询"};
const QStringList kToolsHiddenForAdministrators = {"回抄", "买电", "开户", "补卡", "换表", "改写电量"};

QIcon toolIcon(const QString& caption)
{
    static const QHash<QString, QStyle::StandardPixmap> icons = {
        {"复位卡", QStyle::SP_BrowserReload},   {"测试卡", QStyle::SP_DialogApplyButton},
        {"清卡", QStyle::SP_DialogResetButton}, {"读卡", QStyle::SP_FileDialogContentsView},
        {"回抄", QStyle::SP_ArrowBack},         {"买电", QStyle::SP_DialogYesButton},
        {"开户", QStyle::SP_FileDialogNewFolder}, {"补卡", QStyle::SP_FileIcon},
        {"换表", QStyle::SP_BrowserStop},       {"改写电量", QStyle::SP_FileDialogDetailedView},
        {"备份数据", QStyle::SP_DialogSaveButton}, {"恢复数据", QStyle::SP_DialogOpenButton},
        {"退出", QStyle::SP_DialogCloseButton},
    };
    return QApplication::style()->standardIcon(icons.value(caption, QStyle::SP_FileIcon));
}

// The client area: the background picture stretched over it.
class Background : public QWidget {
public:
    explicit Background(QWidget* parent) : QWidget(parent), m_picture(QStringLiteral(":/shell/background.jpg")) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawPixmap(rect(), m_picture);
    }

private:
    QPixmap m_picture;
};

} // namespace

TFmmain::TFmmain(AppContext& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx)
{
    initShellResources();
    setObjectName(QStringLiteral("TFmmain"));
    setWindowTitle(QStringLiteral("Qarvel电气预付费电能表售电管理系统"));
    QFont f = font();
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                   QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(12);
    setFont(f);
    setCentralWidget(new Background(this));
    buildMenus();
    buildToolBar();
    buildStatusBar();
    applyClass();
    if (const QScreen* screen = QApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void TFmmain::buildMenus()
{
    QHash<QString, QMenu*> menus;
    QHash<QString, QMenu*> submenus;
    for (const Entry& e : kEntries) {
        const QString title = QString::fromUtf8(e.menu);
        QMenu*& menu = menus[title];
        if (!menu) {
            menu = menuBar()->addMenu(title);
            menu->menuAction()->setObjectName(title);
            m_menus.insert(title, menu->menuAction());
        }
        QString caption = QString::fromUtf8(e.caption);
        if (caption == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        QMenu* target = menu;
        if (caption.contains(QLatin1Char('/'))) {
            const QString sub = caption.section(QLatin1Char('/'), 0, 0);
            caption = caption.section(QLatin1Char('/'), 1);
            QMenu*& s = submenus[sub];
            if (!s)
                s = menu->addMenu(sub);
            target = s;
        }
        QAction* a = target->addAction(caption);
        a->setObjectName(caption);
        if (*e.key)
            a->setShortcut(QKeySequence(QString::fromLatin1(e.key)));
        a->setVisible(e.shown);
        a->setEnabled(false); // until its command is wired
        m_menuActions.insert(caption, a);
    }
}

void TFmmain::buildToolBar()
{
    QToolBar* bar = addToolBar(QStringLiteral("工具栏"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(20, 20));
    int separators = 0;
    for (const auto& [cap, hint] : kTools) {
        const QString caption = QString::fromUtf8(cap);
        if (caption == QLatin1String("-")) {
            QAction* sep = bar->addSeparator();
            sep->setObjectName(QStringLiteral("ToolSeparator%1").arg(++separators));
            continue;
        }
        QAction* a = bar->addAction(toolIcon(caption), caption);
        a->setObjectName(QStringLiteral("Tool_") + caption);
        a->setToolTip(*hint ? QString::fromUtf8(hint) : caption);
        a->setEnabled(false);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a))) {
            button->setMinimumSize(55, 35);
            button->setAutoRaise(true);
            button->setAccessibleName(caption);
        }
        m_toolActions.insert(caption, a);
    }
}

void TFmmain::buildStatusBar()
{
    const QString who = m_ctx.loginClass == 0 ? QStringLiteral("管理员: ") : QStringLiteral("操作员: ");
    const QStringList texts = {who + m_ctx.account, QStringLiteral("USB接口读写器 "),
                               QStringLiteral("日期: ") + dateText(QDate::currentDate())};
    const int widths[] = {300, 300, 50};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(texts[i], this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel, i == 2 ? 1 : 0);
        m_status << panel;
    }
}

void TFmmain::applyClass()
{
    // Hidden entries are hidden actions, and Qt does not fire the shortcut of
    // a hidden action: a hidden entry never starts its command by its key.
    if (m_ctx.loginClass == 1) {
        for (const auto& c : kHiddenForOperators)
            m_menuActions.value(c)->setVisible(false);
        for (const auto& m : kMenusHiddenForOperators)
            m_menus.value(m)->setVisible(false);
        for (const auto& c : kToolsHiddenForOperators)
            m_toolActions.value(c)->setVisible(false);
        m_menuActions.value(QStringLiteral("可疑查询"))->setVisible(true);
    } else {
        for (const auto& c : kHiddenForAdministrators)
            m_menuActions.value(c)->setVisible(false);
        for (const auto& c : kToolsHiddenForAdministrators)
            m_toolActions.value(c)->setVisible(false);
        findChild<QAction*>(QStringLiteral("ToolSeparator1"))->setVisible(false);
        if (kVillageSupport)
            m_menuActions.value(QStringLiteral("设置小区"))->setVisible(true);
    }
}

void TFmmain::run(const Command& command)
{
    try {
        command();
    } catch (const DatabaseError& e) {
        m_ctx.prompter->error(e.text());
    } catch (const std::exception& e) {
        m_ctx.prompter->error(QString::fromLocal8Bit(e.what()));
    }
}

void TFmmain::setCommand(const QString& caption, Command command)
{
    QAction* menu = m_menuActions.value(caption);
    Q_ASSERT(menu);
    menu->setEnabled(true);
    connect(menu, &QAction::triggered, this, [this, command] { run(command); });
    if (QAction* tool = m_toolActions.value(caption)) {
        tool->setEnabled(true);
        connect(tool, &QAction::triggered, menu, &QAction::trigger);
    }
}

QStringList TFmmain::visibleMenuEntries() const
{
    QStringList out;
    for (QAction* menu : menuBar()->actions()) {
        if (!menu->isVisible() || !menu->menu())
            continue;
        const std::function<void(QMenu*)> walk = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                if (!a->isVisible() || a->isSeparator())
                    continue;
                if (a->menu())
                    walk(a->menu());
                else
                    out << menu->text() + QLatin1Char('/') + a->text();
            }
        };
        walk(menu->menu());
    }
    return out;
}

QStringList TFmmain::visibleToolButtons() const
{
    QStringList out;
    for (const auto& [cap, hint] : kTools) {
        const QString caption = QString::fromUtf8(cap);
        if (QAction* a = m_toolActions.value(caption); a && a->isVisible())
            out << caption;
    }
    return out;
}

QStringList TFmmain::statusTexts() const
{
    QStringList out;
    for (QLabel* l : m_status)
        out << l->text();
    return out;
}

void TFmmain::bringToFront()
{
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
}

} // namespace ombx
