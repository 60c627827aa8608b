#pragma once

#include "SkinEngine.h"

#include <QList>
#include <QVariant>

#include <functional>
#include <map>

namespace pellorin::test {

// Records every call by dispatch identifier. Property reads return what was
// written last, or what the test put into `properties`. `onCall`, when set,
// runs at each call, before it is recorded, e.g. to look at the window then.
class RecordingSkinEngine final : public SkinEngine {
public:
    enum class Kind { Invoke, Get, Put };
    struct Call {
        Kind kind;
        int id;
        QVariantList arguments; // the method's arguments, or the written value
    };

    QVariant invoke(int id, const QVariantList& arguments) override
    {
        record({ Kind::Invoke, id, arguments });
        return {};
    }

    QVariant getProperty(int id) override
    {
        record({ Kind::Get, id, {} });
        const auto it = properties.find(id);
        return it == properties.end() ? QVariant() : it->second;
    }

    void putProperty(int id, const QVariant& value) override
    {
        record({ Kind::Put, id, { value } });
        properties[id] = value;
    }

    QList<Call> calls;
    std::map<int, QVariant> properties;
    std::function<void(const Call&)> onCall;

private:
    void record(const Call& call)
    {
        if (onCall)
            onCall(call);
        calls.append(call);
    }
};

} // namespace pellorin::test
