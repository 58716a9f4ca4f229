#include "designer.h"

#include "appcontext.h"
#include "capitals.h"
#include "database.h"
#include "prompter.h"
#include "renderer.h"
#include "reporttemplate.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace ombx {
namespace {

// Plausible values for the fields the office's templates show, so that the
// preview shows how wide each of them runs.
QString sampleValue(const QString& field, int row)
{
    static const QMap<QString, QString> values = {
        {"usr_id", "100001"}, {"usr_name", "王明"}, {"buy_q", "100"}, {"pmoney", "53.5"},
        {"invoice", "202405010001"}, {"addr", "城关镇建设路12号"}, {"phone", "0311-5550123"},
        {"mtrno", "2024000123"}, {"per_iden", "130102198001010012"}, {"bt", "1:1"},
        {"remain", "0"}, {"price_type", "居民生活用电"}, {"dat_buy", "2024-05-01 09:30:00"},
        {"optr", "admin"}, {"base_p", "0.4"}, {"addon_p", "0.05"}, {"plus_p", "0.02"},
        {"city_p", "0.01"}, {"sanxia_p", "0.055"}, {"price", "0.535"}, {"buy_t", "3"},
        {"pay", "53.5"}, {"memo", ""},
    };
    const QString key = field.toLower();
    if (!values.contains(key))
        return field;
    QString v = values.value(key);
    if (row > 0 && (key == "usr_id" || key == "invoice" || key == "mtrno"))
        v = QString::number(v.toLongLong() + row);
    return v;
}

} // namespace

QString designedTemplateName(DesignedReport which)
{
    return which == DesignedReport::Receipt ? QStringLiteral("收款凭据") : QStringLiteral("用户购电记录");
}

QString designerStatement(DesignedReport which)
{
    if (which == DesignedReport::Receipt)
        return QStringLiteral("Select B.Usr_id,B.Usr_Name,B.Buy_q,B.PMoney,B.Invoice,U.Addr,U.Phone,U.MtrNo,U.Per_iden,U.BT,U.Remain,P.Price_type,B.Dat_Buy,B.Optr")
               + QStringLiteral(" ,P.Base_P,P.Addon_p,P.Plus_p,P.City_p,P.Sanxia_p")
               + QStringLiteral(" ,B.Price")
               + QStringLiteral(" from Usrbuy B,Usr U,PriceType p Where 1=0 ");
    return QStringLiteral("Select B.Usr_id,B.Usr_Name,B.Buy_q,B.PMoney,B.Invoice,U.Addr,U.Phone,U.MtrNo,U.Per_iden,U.BT,U.Remain,P.Price_type,B.Dat_Buy,B.Optr from Usrbuy B,Usr U,PriceType p Where 1=0 ");
}

std::optional<DataSet> designerData(DesignedReport which, Database& db, Prompter& prompter)
{
    try {
        return DataSet::fromRows(db.select(designerStatement(which)));
    } catch (const DatabaseError&) {
        prompter.notice(QStringLiteral("数据库打开失败！"));
        return std::nullopt;
    }
}

bool openReportDesigner(DesignedReport which, AppContext& ctx, QWidget* parent)
{
    const std::optional<DataSet> data = designerData(which, *ctx.db, *ctx.prompter);
    if (!data)
        return false;
    // Sample values of the variables the program sets when it prints.
    QMap<QString, QString> variables;
    if (which == DesignedReport::Receipt) {
        variables.insert(QStringLiteral("RemainLast"), QStringLiteral("0.00"));
        variables.insert(QStringLiteral("totalcurr"), QStringLiteral("53.50"));
        variables.insert(QStringLiteral("BigNum"), amountInCapitals(53.5));
    } else {
        variables.insert(QStringLiteral("dateSection"), QStringLiteral("购电日期：2024-05-01 ~ 2024-05-31"));
    }
    ReportDesigner designer(templatePath(ctx.reportDir(), designedTemplateName(which)), *data, variables,
                            *ctx.prompter, parent);
    designer.exec();
    return true;
}

ReportDesigner::ReportDesigner(const QString& path, const DataSet& data, const QMap<QString, QString>& variables,
                               Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_path(path), m_data(data), m_variables(variables), m_prompter(prompter),
      m_printer(QPrinter::HighResolution)
{
    setModal(true);
    resize(1100, 700);

    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("templateEditor"));
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_editor->setPlainText(QString::fromUtf8(file.readAll()));
    m_editor->document()->setModified(false);

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(QStringLiteral("templatePreview"));
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { renderReport(m_report, *printer); });

    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("templateNames"));
    for (const QString& f : m_data.fields)
        m_names->addItem(f);
    for (auto it = m_variables.begin(); it != m_variables.end(); ++it)
        m_names->addItem(it.key());
    for (const char* builtIn : {"Date", "Time", "Page"})
        m_names->addItem(QString::fromLatin1(builtIn));
    m_names->setToolTip(QStringLiteral("双击把名字插入到光标处"));
    connect(m_names, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { insertName(item->text()); });
    auto* namesLabel = new QLabel(QStringLiteral("字段和变量："), this);
    namesLabel->setBuddy(m_names);

    auto* sourceLabel = new QLabel(QStringLiteral("模板："), this);
    sourceLabel->setBuddy(m_editor);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(sourceLabel);
    leftLayout->addWidget(m_editor, 3);
    leftLayout->addWidget(namesLabel);
    leftLayout->addWidget(m_names, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(m_preview);
    splitter->setSizes({500, 600});

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("templateStatus"));
    m_status->setWordWrap(true);
    m_sample = new QCheckBox(QStringLiteral("示例数据"), this);
    m_sample->setChecked(m_data.rows.isEmpty());
    connect(m_sample, &QCheckBox::toggled, this, &ReportDesigner::refresh);

    auto* buttons = new QDialogButtonBox(this);
    m_save = buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    // Saving keeps the designer open; only "关闭" closes it.
    disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_sample);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(400);
    connect(m_timer, &QTimer::timeout, this, &ReportDesigner::refresh);
    connect(m_editor, &QPlainTextEdit::textChanged, m_timer, qOverload<>(&QTimer::start));
    connect(m_editor->document(), &QTextDocument::modificationChanged, this, &ReportDesigner::updateTitle);

    updateTitle();
    refresh();
}

QString ReportDesigner::errorText() const { return m_report.layout ? m_report.layout->errors.join(QLatin1Char('\n')) : QString(); }

int ReportDesigner::previewPages() const { return m_preview->pageCount(); }

DataSet ReportDesigner::sampleData() const
{
    DataSet sample;
    sample.fields = m_data.fields;
    for (int r = 0; r < 3; ++r) {
        QStringList row;
        for (const QString& f : sample.fields)
            row.append(sampleValue(f, r));
        sample.rows.append(row);
    }
    return sample;
}

void ReportDesigner::refresh()
{
    m_timer->stop();
    auto layout = std::make_shared<const ReportTemplate>(ReportTemplate::parse(m_editor->toPlainText()));
    const bool sample = m_sample->isChecked();
    m_report = Report::fromTemplate(layout, sample ? sampleData() : m_data, m_variables);
    if (!sample)
        for (auto it = m_report.variables.begin(); it != m_report.variables.end(); ++it)
            it.value().clear();
    m_printer.setPageLayout(m_report.page.pageLayout());
    m_preview->updatePreview();
    m_status->setText(layout->errors.isEmpty() ? QString() : layout->errors.join(QStringLiteral("；")));
}

bool ReportDesigner::save()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_editor->toPlainText().toUtf8()) < 0 || !file.commit()) {
        m_prompter.error(QStringLiteral("模板保存失败：%1").arg(file.errorString()));
        return false;
    }
    m_editor->document()->setModified(false);
    return true;
}

void ReportDesigner::done(int result)
{
    if (m_editor->document()->isModified() && m_prompter.question(QStringLiteral("模板已修改，是否保存？")) && !save())
        return;
    QDialog::done(result);
}

void ReportDesigner::updateTitle()
{
    setWindowTitle(QStringLiteral("报表设计 - %1%2")
                       .arg(QFileInfo(m_path).fileName(), m_editor->document()->isModified() ? QStringLiteral(" *") : QString()));
}

void ReportDesigner::insertName(const QString& name)
{
    m_editor->insertPlainText(QStringLiteral("[%1]").arg(name));
    m_editor->setFocus();
}

} // namespace ombx
