#pragma once

#include <new>
#include <stdexcept>
#include <string>

namespace pellorin {

// Why a request makes nothing: the words pellorin-cli prints after
// "pellorin-cli: error: ", such as "--count: expected a whole number from 0
// to 9223372036854775807, got '-1'", so a test's failure reads the same
// whichever face it came through.
class refusal : public std::invalid_argument {
public:
    refusal(std::string field, const std::string& message);

    // The request's field the refusal is said of, named as its option
    // without the dashes ("count", "with_expiry"), for a face that shows the
    // message beside that field.
    const std::string& field() const noexcept { return m_field; }

private:
    std::string m_field;
};

// Not enough memory for unique cards, said as pellorin-cli says it: "not
// enough memory: --unique needs 2048 MiB for --count 100000000".
class out_of_memory : public std::bad_alloc {
public:
    explicit out_of_memory(std::string message);
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

} // namespace pellorin
