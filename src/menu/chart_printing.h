// Drawing the progress charts: one routine paints them on the level menu's chart
// panel and on printed pages, A4 portrait, through the system's printer or into a PDF.
#pragma once

#include "menu/progress_chart.h"

#include <QList>
#include <QString>
#include <QWidget>

class QPainter;
class QPrinter;

// Paints the charts of one page. widthScale: device pixels per pixel of the line
// widths the charts hold (1 on the screen; a printer's resolution over 600 dpi).
void drawCharts(QPainter &painter, const QList<ProgressChart> &charts, double widthScale);

// The drawing surface of the chart panel: shows the charts of one page.
class ChartView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    ChartSurface surface() const;
    void setCharts(const QList<ProgressChart> &charts);
    const QList<ProgressChart> &charts() const { return m_charts; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<ProgressChart> m_charts;
};

// Paints the charts of the levels onto the printer, three a page, and ends the job.
// The printer is set to A4 portrait first. Empty, or why it could not print.
QString printChartPages(QPrinter &printer, const QByteArray &bytes, const ChartRequest &request,
                        const QList<int> &levels);
// The same pages written into a PDF file. Empty, or why the file could not be written.
QString writeChartPdf(const QString &path, const QByteArray &bytes, const ChartRequest &request,
                      const QList<int> &levels);

struct ChartPrintResult {
    QString pdfPath; // where the pages went on a PC without a printer
    QString error;   // why nothing was printed; empty when it was
};
// Prints one pupil's charts on the system's default printer. Without one, the pages go
// into a PDF in the data folder's "印刷" folder, named by pupil number and the
// request's date and time.
ChartPrintResult printCharts(const QByteArray &bytes, const ChartRequest &request, const QList<int> &levels);
