#pragma once

#include "CompactRows.h"

#include <QAbstractListModel>

#include <string_view>
#include <vector>

namespace pellorin {

// The results list: one row per generated number, each with a check state,
// under one captioned column. New rows start ticked.
class ResultsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString columnCaption() const { return m_caption; }
    void setColumnCaption(const QString& caption);

    // Direct access for exports, without QVariant round trips.
    std::size_t size() const noexcept { return m_rows.size(); }
    bool isTicked(std::size_t row) const noexcept { return m_rows.ticked(row); }
    void setTicked(std::size_t row, bool ticked);
    std::size_t text(std::size_t row, char* out) const noexcept { return m_rows.text(row, out); }
    std::size_t textLength(std::size_t row) const noexcept { return m_rows.length(row); }
    void ticks(std::size_t first, std::size_t count, bool* ticked) const noexcept
    {
        m_rows.ticks(first, count, ticked);
    }
    void tickedTexts(std::size_t first, std::size_t count, const bool* ticked, char* out,
        std::size_t stride, std::size_t* lengths) const noexcept
    {
        m_rows.tickedTexts(first, count, ticked, out, stride, lengths);
    }
    // The longest text of all rows; the number and total length of the ticked ones.
    std::size_t widest() const noexcept { return m_rows.widest(); }
    std::size_t tickedCount() const noexcept { return m_rows.tickedCount(); }
    std::uint64_t tickedLength() const noexcept { return m_rows.tickedLength(); }

    // Removes every row in one step; the column stays.
    void clear();

    // The one way rows come in: stores them at once and announces them to
    // views in batches, so a run of millions of rows does not pay for
    // millions of insert notifications. Rows not yet announced are announced
    // when the appender goes away, and dropped by clear(). One appender at a
    // time per model.
    class Appender {
    public:
        explicit Appender(ResultsModel& model, std::size_t batchSize = std::size_t { 1 } << 16);
        ~Appender();
        Appender(const Appender&) = delete;
        Appender& operator=(const Appender&) = delete;

        // Stores one row, ticked. Throws std::invalid_argument unless it is 1
        // to 16 digits, std::bad_alloc when memory runs out and
        // std::length_error beyond INT_MAX rows; rows stored before stay.
        void append(std::string_view digits)
        {
            const std::uint64_t packed = CompactRows::packTicked(digits, true);
            if (m_staged >= m_batchSize)
                flush();
            if (m_staged >= m_room)
                makeRoom();
            m_model.m_rows.stage(m_staged, packed);
            ++m_staged;
        }

        // Announces the rows stored since the last flush.
        void flush();

    private:
        friend class ResultsModel;
        void makeRoom();

        ResultsModel& m_model;
        std::size_t m_batchSize;
        std::size_t m_staged = 0;
        // Rows the list may still take before it reaches INT_MAX.
        std::size_t m_room = 0;
    };

private:
    CompactRows m_rows;
    QString m_caption;
    Appender* m_appender = nullptr;
};

} // namespace pellorin
