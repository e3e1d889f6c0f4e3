// Arguments of one tvzx command and the error every command reports the same way.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::cli {

// A refused argument or input: the command prints the message and exits 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command that ran but found a fault: what it prints, the one line naming
// the fault, and the exit status.
class CommandFailed : public std::runtime_error {
public:
    CommandFailed(int status, std::string output, const std::string& fault)
        : std::runtime_error(fault), status_(status), output_(std::move(output)) {}
    int status() const { return status_; }
    const std::string& output() const { return output_; }

private:
    int status_;
    std::string output_;
};

// The arguments after the command words, read option by option.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}
    // Returns whether an argument is left.
    bool more() const { return next_ < words_.size(); }
    // Returns the next argument.
    std::string take();
    // Returns the value of the option just taken; throws when it is missing.
    std::string value(std::string_view option);
    // Throws naming the argument as not understood.
    [[noreturn]] static void unknown(std::string_view argument);

private:
    std::vector<std::string> words_;
    std::size_t next_ = 0;
};

}  // namespace tvzx::cli
