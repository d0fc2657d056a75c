#pragma once
// The life of an object as the calls queued for it see it. The object holds a TLifetime; a call
// queued on its behalf carries a TLifetimeToken taken from it and does nothing once the token is no
// longer alive. Unlike an address, a token can never be mistaken for a later object that happens to
// be allocated at the same place.
//
// The token is checked, and the object used, on the thread that ends the life (the user-interface
// thread, which owns the model): between the check and the use nothing can end it. Tokens may be
// copied on any thread.

#include <memory>

namespace vendrel {

class TLifetimeToken {
public:
    TLifetimeToken() = default;
    bool Alive() const { return !life_.expired(); }

private:
    friend class TLifetime;
    explicit TLifetimeToken(const std::shared_ptr<const int>& life) : life_(life) {}
    std::weak_ptr<const int> life_;
};

class TLifetime {
public:
    TLifetime() : life_(std::make_shared<const int>(0)), token_(life_) {}
    TLifetime(const TLifetime&) = delete;
    TLifetime& operator=(const TLifetime&) = delete;
    ~TLifetime() = default;

    // A token of this life; taken once at construction, so reading it from a worker never races
    // with End().
    const TLifetimeToken& Token() const { return token_; }
    // Ends the life early (the destructor ends it too): every token reports dead from now on.
    void End() { life_.reset(); }
    bool Alive() const { return life_ != nullptr; }

private:
    std::shared_ptr<const int> life_;
    const TLifetimeToken token_;
};

} // namespace vendrel
