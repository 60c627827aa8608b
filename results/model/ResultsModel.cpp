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
    m_pending.reserve(m_batchSize * CompactRows::kMaxDigits);
    m_lengths.reserve(m_batchSize);
}

ResultsModel::Appender::~Appender()
{
    try {
        flush();
    } catch (...) {
        // Out of memory while storing the last batch: those rows are lost,
        // the ones already in the model stay.
    }
}

void ResultsModel::Appender::append(std::string_view digits)
{
    CompactRows::validate(digits);
    if (m_lengths.size() >= m_batchSize)
        flush();
    m_pending.insert(m_pending.end(), digits.begin(), digits.end());
    m_lengths.push_back(static_cast<unsigned char>(digits.size()));
}

void ResultsModel::Appender::flush()
{
    if (m_lengths.empty())
        return;
    // Room for the whole batch is made before views hear of it, so a batch is
    // either stored and announced whole or, out of memory, dropped whole.
    const std::size_t count = m_lengths.size();
    try {
        if (m_model.m_rows.size() + count > static_cast<std::size_t>(INT_MAX))
            throw std::length_error("The results list cannot hold more rows");
        m_model.m_rows.reserve(m_model.m_rows.size() + count);
    } catch (...) {
        m_pending.clear();
        m_lengths.clear();
        throw;
    }
    const int first = m_model.rowCount();
    m_model.beginInsertRows({}, first, first + static_cast<int>(count) - 1);
    std::size_t offset = 0;
    for (unsigned char len : m_lengths) {
        m_model.m_rows.append(std::string_view(m_pending.data() + offset, len), true);
        offset += len;
    }
    m_model.endInsertRows();
    m_pending.clear();
    m_lengths.clear();
}

} // namespace pellorin
