#include "trace/runtimeerror.h"

#include <cerrno>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <typeinfo>
#include <variant>

namespace lentaro {

namespace {

// The file-system errors that the operating system reports, as run-time error numbers.
std::int32_t numberForSystemError(const std::error_code& code)
{
    if (code.category() != std::generic_category() && code.category() != std::system_category())
        return 75;
    switch (code.value()) {
    case ENOENT:
        return 53;
    case ENOTDIR:
        return 76;
    case EACCES:
    case EPERM:
    case EROFS:
        return 70;
    case EEXIST:
        return 58;
    case ENOSPC:
    case EDQUOT:
        return 61;
    case EIO:
        return 57;
    case EMFILE:
    case ENFILE:
        return 67;
    case ENOMEM:
        return 7;
    default:
        return 75;
    }
}

// Standard text, then the thrower's own message when it adds one.
RuntimeError translated(std::int32_t number, const char* message)
{
    QString description = standardErrorText(number);
    const QString detail = QString::fromUtf8(message);
    if (!detail.isEmpty())
        description += QStringLiteral(": ") + detail;
    return RuntimeError(number, description);
}

} // namespace

RuntimeError::RuntimeError(std::int32_t number, QString description, QString source)
    : number_(number),
      description_(description.isEmpty() && number != 0 ? standardErrorText(number)
                                                        : std::move(description)),
      source_(std::move(source)),
      what_(description_.toUtf8())
{
}

RuntimeError RuntimeError::fromCurrentException()
{
    const std::exception_ptr pending = std::current_exception();
    if (!pending)
        return RuntimeError(0);
    try {
        std::rethrow_exception(pending);
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return RuntimeError(7);
    } catch (const std::system_error& error) {
        // Also std::filesystem::filesystem_error and std::ios_base::failure.
        return translated(numberForSystemError(error.code()), error.what());
    } catch (const std::out_of_range& error) {
        return translated(9, error.what());
    } catch (const std::length_error& error) {
        return translated(9, error.what());
    } catch (const std::invalid_argument& error) {
        return translated(5, error.what());
    } catch (const std::domain_error& error) {
        return translated(5, error.what());
    } catch (const std::overflow_error& error) {
        return translated(6, error.what());
    } catch (const std::underflow_error& error) {
        return translated(6, error.what());
    } catch (const std::range_error& error) {
        return translated(6, error.what());
    } catch (const std::bad_optional_access&) {
        return RuntimeError(94);
    } catch (const std::bad_function_call&) {
        return RuntimeError(91);
    } catch (const std::bad_cast&) {
        // Also std::bad_any_cast.
        return RuntimeError(13);
    } catch (const std::bad_variant_access&) {
        return RuntimeError(13);
    } catch (const std::exception& error) {
        return translated(51, error.what());
    } catch (...) {
        return RuntimeError(51);
    }
}

QString standardErrorText(std::int32_t number)
{
    switch (number) {
    case 5:
        return QStringLiteral("Invalid procedure call or argument");
    case 6:
        return QStringLiteral("Overflow");
    case 7:
        return QStringLiteral("Out of memory");
    case 9:
        return QStringLiteral("Subscript out of range");
    case 11:
        return QStringLiteral("Division by zero");
    case 13:
        return QStringLiteral("Type mismatch");
    case 28:
        return QStringLiteral("Out of stack space");
    case 51:
        return QStringLiteral("Internal error");
    case 52:
        return QStringLiteral("Bad file name or number");
    case 53:
        return QStringLiteral("File not found");
    case 55:
        return QStringLiteral("File already open");
    case 57:
        return QStringLiteral("Device I/O error");
    case 58:
        return QStringLiteral("File already exists");
    case 61:
        return QStringLiteral("Disk full");
    case 62:
        return QStringLiteral("Input past end of file");
    case 67:
        return QStringLiteral("Too many files");
    case 70:
        return QStringLiteral("Permission denied");
    case 75:
        return QStringLiteral("Path/File access error");
    case 76:
        return QStringLiteral("Path not found");
    case 91:
        return QStringLiteral("Object variable or With block variable not set");
    case 94:
        return QStringLiteral("Invalid use of Null");
    case 380:
        return QStringLiteral("Invalid property value");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

} // namespace lentaro
