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

    // Removes every row in one step; the column stays.
    void clear();

    // The one way rows come in: collects them and announces them to views in
    // batches, so a run of millions of rows does not pay for millions of
    // insert notifications.
    // Rows not yet flushed are announced when the appender goes away.
    class Appender {
    public:
        explicit Appender(ResultsModel& model, std::size_t batchSize = 4096);
        ~Appender();
        Appender(const Appender&) = delete;
        Appender& operator=(const Appender&) = delete;

        // Queues one row. Throws std::bad_alloc when memory runs out; rows
        // queued before stay queued.
        void append(std::string_view digits);

        // Moves the queued rows into the model.
        void flush();

    private:
        ResultsModel& m_model;
        std::size_t m_batchSize;
        std::vector<char> m_pending;
        std::vector<unsigned char> m_lengths;
    };

private:
    CompactRows m_rows;
    QString m_caption;
};

} // namespace pellorin
