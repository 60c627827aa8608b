#include "ResultsModel.h"

#include <climits>
#include <stdexcept>

namespace pellorin {

ResultsModel::ResultsModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // A view counts rows in int; the generation run never goes beyond that.
    return static_cast<int>(std::min<std::size_t>(m_rows.size(), INT_MAX));
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(m_rows.textString(row));
    case Qt::CheckStateRole:
        return m_rows.ticked(row) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setTicked(static_cast<std::size_t>(index.row()), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable
        | Qt::ItemNeverHasChildren;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_caption;
    return {};
}

void ResultsModel::setColumnCaption(const QString& caption)
{
    m_caption = caption;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void ResultsModel::setTicked(std::size_t row, bool ticked)
{
    if (row >= m_rows.size() || m_rows.ticked(row) == ticked)
        return;
    m_rows.setTicked(row, ticked);
    const QModelIndex changed = index(static_cast<int>(row));
    emit dataChanged(changed, changed, { Qt::CheckStateRole });
}

void ResultsModel::clear()
{
    // Rows staged but not yet announced belong to the list being cleared.
    if (m_appender) {
        m_appender->m_staged = 0;
        m_appender->m_room = 0;
    }
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

ResultsModel::Appender::Appender(ResultsModel& model, std::size_t batchSize)
    : m_model(model)
    , m_batchSize(batchSize == 0 ? 1 : batchSize)
{
    // Two appenders would stage their rows over each other.
    if (model.m_appender)
        throw std::logic_error("The results list has an appender already");
    model.m_appender = this;
}

ResultsModel::Appender::~Appender()
{
    try {
        flush();
    } catch (...) {
        // A view that failed to take the last batch in; the rows are stored.
    }
    m_model.m_appender = nullptr;
}

void ResultsModel::Appender::makeRoom()
{
    const std::size_t limit = static_cast<std::size_t>(INT_MAX);
    const std::size_t used = m_model.m_rows.size() + m_staged;
    m_room = used < limit ? m_staged + (limit - used) : 0;
    if (m_staged >= m_room)
        throw std::length_error("The results list cannot hold more rows");
}

void ResultsModel::Appender::flush()
{
    if (m_staged == 0)
        return;
    const int first = m_model.rowCount();
    m_model.beginInsertRows({}, first, first + static_cast<int>(m_staged) - 1);
    m_model.m_rows.commit(m_staged);
    m_staged = 0;
    m_room = 0;
    m_model.endInsertRows();
}

} // namespace pellorin
