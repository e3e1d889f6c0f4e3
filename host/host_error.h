// The one way the host reports a job it cannot run: a one-line message that
// names the bad input or argument.
#pragma once

#include <stdexcept>

namespace tvzx::host {

class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A document that lacks the structure the host needs.
class DocumentRefused : public HostError {
public:
    using HostError::HostError;
};

}  // namespace tvzx::host
