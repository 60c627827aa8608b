#include "ResultsView.h"

#include "CompactRows.h"
#include "ResultsModel.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace pellorin {

ResultsView::ResultsView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_header(new QHeaderView(Qt::Horizontal, this))
{
    m_header->setSectionsClickable(false);
    m_header->setStretchLastSection(false);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setMouseTracking(true);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
}

void ResultsView::setModel(ResultsModel* model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_header->setModel(model);
    m_current = -1;
    if (model) {
        auto refresh = [this] {
            updateGeometries();
            viewport()->update();
        };
        connect(model, &QAbstractItemModel::rowsInserted, this,
            [refresh](const QModelIndex&, int, int) { refresh(); });
        connect(model, &QAbstractItemModel::modelReset, this, [this, refresh] {
            m_current = -1;
            refresh();
        });
        connect(model, &QAbstractItemModel::dataChanged, this, [this] { viewport()->update(); });
    }
    updateGeometries();
    viewport()->update();
    emit modelChanged(model);
}

void ResultsView::setColumnWidth(int pixels)
{
    m_header->resizeSection(0, pixels);
    updateGeometries();
}

int ResultsView::columnWidth() const
{
    return m_header->count() > 0 ? m_header->sectionSize(0) : 0;
}

int ResultsView::rowHeight() const
{
    QStyleOptionViewItem option;
    option.initFrom(this);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, this);
    return std::max(fontMetrics().height(), indicator) + 4;
}

int ResultsView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

void ResultsView::setCurrentRow(int row)
{
    const int count = m_model ? m_model->rowCount() : 0;
    if (count == 0)
        return;
    makeCurrent(std::clamp(row, 0, count - 1));
    ensureVisible(m_current);
}

void ResultsView::makeCurrent(int row)
{
    const bool moved = row != m_current;
    m_current = row;
    viewport()->update();
    if (moved)
        emit currentRowChanged(row);
}

int ResultsView::rowAt(int y) const
{
    if (!m_model || y < 0)
        return -1;
    const qint64 row = qint64(firstVisibleRow()) + y / rowHeight();
    return row < m_model->rowCount() ? int(row) : -1;
}

QRect ResultsView::rowRect(int row) const
{
    // Far rows would overflow the coordinates; they are far out of view anyway.
    const qint64 top = (qint64(row) - firstVisibleRow()) * rowHeight();
    const int clamped = int(std::clamp<qint64>(top, -(1 << 24), 1 << 24));
    return QRect(-horizontalScrollBar()->value(), clamped, columnWidth(), rowHeight());
}

QRect ResultsView::checkBoxRect(int row) const
{
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.rect = rowRect(row);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void ResultsView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int count = m_model ? m_model->rowCount() : 0;
    if (count == 0) {
        // An empty list that has the focus shows it all the same.
        if (hasFocus())
            drawFocusBox(painter, viewport()->rect());
        return;
    }
    const int height = rowHeight();
    const int first = firstVisibleRow();
    const int last = std::min(count - 1, first + viewport()->height() / height + 1);
    const int xOffset = -horizontalScrollBar()->value();
    std::array<char, CompactRows::kMaxDigits> digits {};

    QStyleOptionViewItem option;
    option.initFrom(this);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = Qt::ElideRight;
    option.font = font();
    option.fontMetrics = fontMetrics();
    for (int row = first; row <= last; ++row) {
        const auto r = static_cast<std::size_t>(row);
        option.rect = QRect(xOffset, (row - first) * height, columnWidth(), height);
        option.checkState = m_model->isTicked(r) ? Qt::Checked : Qt::Unchecked;
        option.text = QString::fromLatin1(
            digits.data(), static_cast<qsizetype>(m_model->text(r, digits.data())));
        option.state = QStyle::State_Enabled;
        style()->drawControl(QStyle::CE_ItemViewItem, &option, &painter, this);
        if (row == m_current && hasFocus())
            drawFocusBox(painter, option.rect);
    }
}

void ResultsView::drawFocusBox(QPainter& painter, const QRect& rect) const
{
    // The style's own focus frame is a pale blue of about 1.7:1 on white; the
    // text colour stands out from the row's background as the text does.
    const QColor color = palette().color(QPalette::Text);
    const int w = kFocusBoxWidth;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), color);
    painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), color);
    painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), color);
    painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), color);
}

void ResultsView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateGeometries();
}

void ResultsView::updateGeometries()
{
    const int headerHeight = m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect vg = viewport()->geometry();
    m_header->setGeometry(vg.left(), vg.top() - headerHeight, vg.width(), headerHeight);
    m_header->setOffset(horizontalScrollBar()->value());

    const int count = m_model ? m_model->rowCount() : 0;
    const int visibleRows = std::max(1, viewport()->height() / rowHeight());
    verticalScrollBar()->setRange(0, std::max(0, count - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, columnWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void ResultsView::scrollContentsBy(int, int)
{
    m_header->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void ResultsView::ensureVisible(int row)
{
    const int first = firstVisibleRow();
    const int visibleRows = std::max(1, viewport()->height() / rowHeight());
    if (row < first)
        verticalScrollBar()->setValue(row);
    else if (row >= first + visibleRows)
        verticalScrollBar()->setValue(row - visibleRows + 1);
}

void ResultsView::toggle(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount())
        return;
    const auto r = static_cast<std::size_t>(row);
    m_model->setTicked(r, !m_model->isTicked(r));
}

void ResultsView::mousePressEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (row < 0)
        return;
    makeCurrent(row);
    if (event->button() == Qt::LeftButton
        && checkBoxRect(row).contains(event->position().toPoint()))
        toggle(row);
    viewport()->update();
}

void ResultsView::keyPressEvent(QKeyEvent* event)
{
    const int count = m_model ? m_model->rowCount() : 0;
    if (count == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int page = std::max(1, viewport()->height() / rowHeight());
    const int current = m_current < 0 ? firstVisibleRow() : m_current;
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentRow(current - 1);
        break;
    case Qt::Key_Down:
        setCurrentRow(m_current < 0 ? current : current + 1);
        break;
    case Qt::Key_PageUp:
        setCurrentRow(current - page);
        break;
    case Qt::Key_PageDown:
        setCurrentRow(current + page);
        break;
    case Qt::Key_Home:
        setCurrentRow(0);
        break;
    case Qt::Key_End:
        setCurrentRow(count - 1);
        break;
    case Qt::Key_Space:
        if (m_current >= 0)
            toggle(m_current);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ResultsView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // Coming in by keyboard, the first row becomes current so Space works at
    // once; a click picks its own row, which scrolling here would move.
    if (m_current < 0 && event->reason() != Qt::MouseFocusReason && m_model
        && m_model->rowCount() > 0) {
        m_current = 0;
        ensureVisible(0);
    }
    viewport()->update();
    emit focusEntered();
}

void ResultsView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool ResultsView::viewportEvent(QEvent* event)
{
    // The list gives a double-click no meaning; swallow it so nothing else does.
    if (event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace pellorin
