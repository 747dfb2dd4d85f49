#pragma once

#include <cassert>

namespace lentaro {

template <typename Interface>
class ScopedOverride;

// Names the default of a service that is an Impl made with no arguments at the first call.
template <typename Impl>
struct MadeAtFirstUse {
};

template <typename Impl>
constexpr MadeAtFirstUse<Impl> madeAtFirstUse{};

// Something the program reaches through an interface and a test or the composition root may
// replace: the message boxes, the engine runner, the main window as the frame's windows see it.
// Calling the service gives the object in use: the latest override, else the default, which
// its maker makes at the first call:
//   Service<UrlOpener> urlOpener{madeAtFirstUse<DesktopUrlOpener>};
// or, for a default that needs more, a function that makes it and returns it. Each service is
// one namespace-scope object; it is initialised before any code runs, so it may be called from
// anywhere, static initialisers included.
template <typename Interface>
class Service
{
public:
    using MakeDefault = Interface& (*)();

    constexpr explicit Service(MakeDefault makeDefault) : makeDefault_(makeDefault) {}

    template <typename Impl>
    constexpr explicit Service(MadeAtFirstUse<Impl>) : makeDefault_(&firstUse<Impl>)
    {
    }

    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    Interface& operator()() const { return replacement_ ? *replacement_ : makeDefault_(); }

private:
    friend class ScopedOverride<Interface>;

    template <typename Impl>
    static Interface& firstUse()
    {
        static Impl instance;
        return instance;
    }

    MakeDefault makeDefault_;
    Interface* replacement_ = nullptr;
};

// Puts `replacement` in place of the service for its own lifetime, then what was in place
// before. Overrides of one service nest: the last one made ends first.
template <typename Interface>
class ScopedOverride
{
public:
    ScopedOverride(Service<Interface>& service, Interface& replacement)
        : service_(service), replacement_(replacement), previous_(service.replacement_)
    {
        service.replacement_ = &replacement;
    }

    ~ScopedOverride()
    {
        assert(service_.replacement_ == &replacement_ && "overrides of a service must nest");
        service_.replacement_ = previous_;
    }

    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Service<Interface>& service_;
    Interface& replacement_;
    Interface* previous_;
};

// The service names the interface; the replacement may be of any type that implements it.
template <typename Interface, typename Replacement>
ScopedOverride(Service<Interface>&, Replacement&) -> ScopedOverride<Interface>;

} // namespace lentaro
