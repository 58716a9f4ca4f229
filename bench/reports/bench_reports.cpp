// ombx-bench-reports [ROWS [PDF]]
//
// Builds a list report of ROWS purchase rows (default 10,000) as the day and
// month reports do, renders it to a PDF (default a temporary file) and prints
// the time taken, the pages, and the process's memory before and after: the
// rows are held once in the report, and rendering adds only what one page
// needs, so the growth while rendering stays flat as ROWS grows.
#include "renderer.h"
#include "report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace ombx;

namespace {

// Resident and peak resident memory of this process, in MiB.
double statusMiB(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

Report monthReport(int rows)
{
    Report r;
    r.titleLines << QStringLiteral("2024年05月售电信息");
    r.addHeader(QStringLiteral("操作员："), QStringLiteral("admin"));
    r.addHeader(QStringLiteral("打印日期："), QStringLiteral("2024-06-01"));
    r.addColumn(QStringLiteral("用户号"), QStringLiteral("Usr_id"));
    r.addColumn(QStringLiteral("用户名"), QStringLiteral("Usr_Name"));
    r.addColumn(QStringLiteral("购电量"), QStringLiteral("Buy_Q"), true);
    r.addColumn(QStringLiteral("金额"), QStringLiteral("PMoney"), true);
    r.addColumn(QStringLiteral("发票"), QStringLiteral("Invoice"));
    r.addColumn(QStringLiteral("地址"), QStringLiteral("Addr"));
    r.addColumn(QStringLiteral("购电日期"), QStringLiteral("Dat_Buy"));
    r.addColumn(QStringLiteral("经办人"), QStringLiteral("Optr"));
    r.addColumn(QStringLiteral("备注"), QStringLiteral("Memo"));
    r.summaryLabel = QStringLiteral("合计：");
    r.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const double kwh = 10 + i % 37 * 5;
        r.rows.append({QString::number(100000 + i % 5000), QStringLiteral("用户%1").arg(i % 5000),
                       QString::number(kwh), QString::number(kwh * 0.535, 'f', 2),
                       QStringLiteral("20240501%1").arg(i, 5, 10, QLatin1Char('0')),
                       i % 17 == 0 ? QStringLiteral("城关镇建设路十二号院三单元五楼五零一室（临街门面）")
                                   : QStringLiteral("城关镇建设路%1号").arg(i % 300),
                       QStringLiteral("2024-05-%1 09:%2:00").arg(1 + i % 30, 2, 10, QLatin1Char('0')).arg(i % 60, 2, 10, QLatin1Char('0')),
                       QStringLiteral("admin"), i % 50 == 0 ? QStringLiteral("换表") : QString()});
    }
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString pdf = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("report.pdf"));

    const double start = statusMiB("VmRSS:");
    const Report report = monthReport(rows);
    const double built = statusMiB("VmRSS:");

    QElapsedTimer timer;
    timer.start();
    if (!writePdf(report, pdf)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(pdf));
        return 1;
    }
    const qint64 ms = timer.elapsed();
    const double peak = statusMiB("VmHWM:");

    std::printf("rows %d: %.2f s to PDF (%lld KiB)\n", rows, ms / 1000.0, QFileInfo(pdf).size() / 1024);
    std::printf("memory: %.1f MiB at start, %.1f MiB with the rows, %.1f MiB peak while rendering (+%.1f MiB)\n",
                start, built, peak, peak - built);
    return 0;
}
