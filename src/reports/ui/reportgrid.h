#pragma once

#include <QTableWidget>

namespace vorlan {

// The report table: plain rows (no header sections), a title row and a header row of its
// own, cells merged and coloured by the reports.
class ReportGrid final : public QTableWidget
{
    Q_OBJECT
public:
    ReportGrid(int columns, int columnWidth, QWidget *parent = nullptr);

    // Empties the table down to `rows` rows, without any merged cells.
    void restart(int rows);
    // Sets a cell's text (creating it), centred; a valid colour colours the text.
    void setCell(int row, int column, const QString &text, const QColor &colour = QColor());
    // Merges columns first..last of the row and writes the text into the first.
    void setMerged(int row, int first, int last, const QString &text);
    QString cellText(int row, int column) const;

private:
    int m_columnWidth;
};

// Windows colour values in the reports: 0x00FF0000 is blue, 0x000000FF red.
inline const QColor kReportBlue(0, 0, 255);
inline const QColor kReportRed(255, 0, 0);

} // namespace vorlan
