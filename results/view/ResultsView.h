#pragma once

#include "ResultsModel.h"

#include <QAbstractScrollArea>
#include <QPointer>

class QHeaderView;
class QPainter;

namespace pellorin {

// A list view over ResultsModel that costs nothing per row: it keeps no
// per-row layout, paints only the visible rows and scrolls by row. Each row
// shows a check box before its text; a click on the box or Space on the
// current row ticks or unticks it. Up, Down, Page Up, Page Down, Home and End
// move the current row, which shows a focus box while the list has the focus
// (an empty list shows it around its whole area). The header shows the column caption and can be
// widened, which brings in a horizontal scroll bar.
class ResultsView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ResultsView(QWidget* parent = nullptr);

    void setModel(ResultsModel* model);
    ResultsModel* model() const { return m_model; }

    QHeaderView* header() const { return m_header; }
    void setColumnWidth(int pixels);
    int columnWidth() const;

    int rowHeight() const;
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    int firstVisibleRow() const;

    // The viewport rectangle of `row`, which lies outside the viewport when
    // the row is scrolled out of view.
    QRect rowRect(int row) const;
    // The viewport rectangle of the check box of `row` (which must be visible).
    QRect checkBoxRect(int row) const;
    // The row under a viewport position, or -1.
    int rowAt(int y) const;

signals:
    // What assistive technology is told of (ResultsViewAnnouncer), besides
    // the model's own signals.
    void currentRowChanged(int row);
    // Sent from focusInEvent, before Qt tells of the list itself as focused.
    void focusEntered();
    // The view now shows `model` and follows its signals.
    void modelChanged(ResultsModel* model);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    static constexpr int kFocusBoxWidth = 2;

    void drawFocusBox(QPainter& painter, const QRect& rect) const;
    void updateGeometries();
    void ensureVisible(int row);
    void toggle(int row);
    void makeCurrent(int row);

    QPointer<ResultsModel> m_model;
    QHeaderView* m_header;
    int m_current = -1;
};

} // namespace pellorin
