#include "platform/shell/service.h"

#include <gtest/gtest.h>

#include <string>

namespace lentaro {
namespace {

class Greeter
{
public:
    virtual ~Greeter() = default;
    virtual std::string greeting() const = 0;
};

class NamedGreeter : public Greeter
{
public:
    explicit NamedGreeter(std::string name) : name_(std::move(name)) {}
    std::string greeting() const override { return name_; }

private:
    std::string name_;
};

int defaultsMade = 0;

Greeter& defaultGreeter()
{
    static NamedGreeter greeter = [] {
        ++defaultsMade;
        return NamedGreeter("default");
    }();
    return greeter;
}

Service<Greeter> greeter{defaultGreeter};

TEST(Service, OverridesNestAndTheDefaultIsMadeOnceAtItsFirstUse)
{
    NamedGreeter outer("outer");
    NamedGreeter inner("inner");
    {
        const ScopedOverride outerInPlace(greeter, outer);
        EXPECT_EQ(greeter().greeting(), "outer");
        {
            const ScopedOverride innerInPlace(greeter, inner);
            EXPECT_EQ(greeter().greeting(), "inner");
        }
        EXPECT_EQ(greeter().greeting(), "outer");
    }
    EXPECT_EQ(defaultsMade, 0);

    EXPECT_EQ(greeter().greeting(), "default");
    EXPECT_EQ(&greeter(), &greeter());
    EXPECT_EQ(defaultsMade, 1);
}

} // namespace
} // namespace lentaro
