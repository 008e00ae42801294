#include "menu/chart_printing.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/paths.h"
#include "core/screen_host.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTime>

namespace
{
// The printer resolution the charts' widths on paper are counted in.
constexpr int kPaperDotsPerInch = 600;
// The part of the em above the baseline in a Japanese gothic font.
constexpr double kEmAscent = 0.88;

QColor colourOf(ChartInk ink)
{
    switch (ink) {
    case ChartInk::Red:
        return {255, 0, 0};
    case ChartInk::Blue:
        return {0, 0, 255};
    case ChartInk::Black:
        break;
    }
    return {0, 0, 0};
}

QPen penOf(ChartInk ink, int width, double widthScale)
{
    return QPen(colourOf(ink), width * widthScale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}
} // namespace

void drawCharts(QPainter &painter, const QList<ProgressChart> &charts, double widthScale)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = fixedPitchFont(kChartFontSize);
    for (const ProgressChart &chart : charts) {
        for (const ChartLine &line : chart.lines) {
            painter.setPen(penOf(line.ink, line.width, widthScale));
            painter.drawLine(line.from, line.to);
        }
        for (const ChartDot &dot : chart.dots) {
            painter.setPen(penOf(dot.ink, dot.width, widthScale));
            painter.drawPoint(dot.at);
        }
        painter.setPen(Qt::black);
        for (const ChartText &text : chart.texts) {
            font.setPointSizeF(text.pointSize);
            painter.setFont(font);
            // A text's top is that of its em box, as in the school's Japanese fonts,
            // whatever space above and below the glyphs the font asks for.
            const double em = text.pointSize * painter.device()->logicalDpiY() / 72.0;
            painter.drawText(text.at + QPointF(0, kEmAscent * em), text.text);
        }
    }
}

ChartSurface ChartView::surface() const
{
    return {static_cast<double>(width()), static_cast<double>(height()), false};
}

void ChartView::setCharts(const QList<ProgressChart> &charts)
{
    m_charts = charts;
    update();
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    drawCharts(painter, m_charts, 1);
}

QString printChartPages(QPrinter &printer, const QByteArray &bytes, const ChartRequest &request,
                        const QList<int> &levels)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("プリンター「%1」に印刷を始められません").arg(printer.printerName());
    const ChartSurface surface{static_cast<double>(painter.device()->width()),
                               static_cast<double>(painter.device()->height()), true};
    const double widthScale = static_cast<double>(printer.resolution()) / kPaperDotsPerInch;
    const QList<QList<ProgressChart>> pages = chartPages(bytes, request, levels, surface);
    for (qsizetype page = 0; page < pages.size(); ++page) {
        if (page > 0 && !printer.newPage()) {
            painter.end();
            return QStringLiteral("%1ページ目を始められません").arg(page + 1);
        }
        drawCharts(painter, pages[page], widthScale);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("印刷が途中で止まりました");
    return {};
}

QString writeChartPdf(const QString &path, const QByteArray &bytes, const ChartRequest &request,
                      const QList<int> &levels)
{
    // The printer says only that it failed; the file says why.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    file.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kPaperDotsPerInch);
    printer.setOutputFileName(path);
    printer.setCreator(hensuu1().programTitle);
    const QString problem = printChartPages(printer, bytes, request, levels);
    if (problem.isEmpty())
        return {};
    QFile::remove(path); // no half-written pages are left to be mistaken for the charts
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + problem;
}

ChartPrintResult printCharts(const QByteArray &bytes, const ChartRequest &request, const QList<int> &levels)
{
    ChartPrintResult result;
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (!defaultPrinter.isNull()) {
        QPrinter printer(defaultPrinter, QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("%1 %2").arg(hensuu1().programTitle).arg(request.pupil));
        result.error = printChartPages(printer, bytes, request, levels);
        return result;
    }
    const QString folder = hensuu1().dataFolder + QStringLiteral("印刷");
    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("フォルダ%1を作れません").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QString stamp =
        dateOfOle(request.now).toString(QStringLiteral("yyyyMMdd_")) +
        QTime::fromMSecsSinceStartOfDay(oleTimeSeconds(request.now) * 1000).toString("HHmmss");
    const QString path = folder + pathSeparator() + QStringLiteral("%1_%2.pdf").arg(request.pupil).arg(stamp);
    result.error = writeChartPdf(path, bytes, request, levels);
    if (result.error.isEmpty())
        result.pdfPath = path;
    return result;
}
