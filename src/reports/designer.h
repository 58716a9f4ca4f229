#pragma once
#include "report.h"

#include <QDialog>
#include <QMap>
#include <QPrinter>

#include <optional>

class QLabel;
class QCheckBox;
class QListWidget;
class QPlainTextEdit;
class QPrintPreviewWidget;
class QPushButton;
class QTimer;

namespace ombx {

struct AppContext;
class Database;
class Prompter;

// The two templates the main window's "编辑报表" entries design.
enum class DesignedReport { Receipt, PurchaseReport };

QString designedTemplateName(DesignedReport which);   // "收款凭据", "用户购电记录"
// The statement that gives the designer the template's columns and no rows.
QString designerStatement(DesignedReport which);
// Runs that statement. A database error shows "数据库打开失败！" and gives
// nothing: the command then ends the program.
std::optional<DataSet> designerData(DesignedReport which, Database& db, Prompter& prompter);

// The whole "收款凭据设计" / "用户购电报表设计" command: the columns, then the
// designer on Report/<name>.rtpl, modal. Returns false when the database
// failed ("数据库打开失败！" has been shown); the caller ends the program.
bool openReportDesigner(DesignedReport which, AppContext& ctx, QWidget* parent = nullptr);

// The report designer: the template's text on the left, a live preview of
// the page on the right, the fields and variables it may name, and Save.
// The preview is drawn over the data given, or over sample values while
// "示例数据" is ticked (the designer's statement gives no rows).
class ReportDesigner : public QDialog {
    Q_OBJECT
public:
    ReportDesigner(const QString& templatePath, const DataSet& data, const QMap<QString, QString>& variables,
                   Prompter& prompter, QWidget* parent = nullptr);

    QPlainTextEdit* editor() const { return m_editor; }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }
    QCheckBox* sampleBox() const { return m_sample; }
    QPushButton* saveButton() const { return m_save; }
    // The report the preview shows, and the template's reading errors.
    const Report& previewReport() const { return m_report; }
    QString errorText() const;
    int previewPages() const;

    // Writes the text to the template file; shows an error and returns
    // false when it cannot.
    bool save();
    // Reads the text again and redraws the preview at once (it also follows
    // the typing, a moment after the last key).
    void refresh();

    void done(int result) override;

private:
    void updateTitle();
    DataSet sampleData() const;
    void insertName(const QString& name);

    QString m_path;
    DataSet m_data;
    QMap<QString, QString> m_variables;
    Prompter& m_prompter;
    Report m_report;
    QPrinter m_printer;
    QPlainTextEdit* m_editor;
    QPrintPreviewWidget* m_preview;
    QListWidget* m_names;
    QLabel* m_status;
    QCheckBox* m_sample;
    QPushButton* m_save;
    QTimer* m_timer;
};

} // namespace ombx
