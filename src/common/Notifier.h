#pragma once
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// An event that any number of followers can follow. Following returns a subscription that ends
// the following when it goes, so a view that is destroyed can never be called afterwards.
// A follower added or ended during a notification takes effect from the next notification.
template <typename... Args> class TNotifier {
    struct Slot {
        std::function<void(Args...)> Call;
        bool Live = true;
    };
    using Slots = std::vector<std::shared_ptr<Slot>>;

  public:
    class Subscription {
      public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept { *this = std::move(other); }
        Subscription& operator=(Subscription&& other) noexcept {
            if (this != &other) {
                End();
                slots_ = std::move(other.slots_);
                slot_ = std::move(other.slot_);
            }
            return *this;
        }
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { End(); }

        void End() {
            if (auto slot = slot_.lock()) slot->Live = false;
            if (auto slots = slots_.lock())
                std::erase_if(*slots, [](const std::shared_ptr<Slot>& s) { return !s->Live; });
            slot_.reset();
            slots_.reset();
        }

      private:
        friend class TNotifier;
        Subscription(const std::shared_ptr<Slots>& slots, const std::shared_ptr<Slot>& slot)
            : slots_(slots), slot_(slot) {}
        std::weak_ptr<Slots> slots_;
        std::weak_ptr<Slot> slot_;
    };

    TNotifier() = default;
    TNotifier(const TNotifier&) = delete;
    TNotifier& operator=(const TNotifier&) = delete;

    [[nodiscard]] Subscription Follow(std::function<void(Args...)> call) {
        auto slot = std::make_shared<Slot>(Slot{std::move(call)});
        slots_->push_back(slot);
        return Subscription(slots_, slot);
    }

    void Notify(Args... args) const {
        // A copy, so that followers may come and go while they are being called.
        const Slots now = *slots_;
        for (const auto& slot : now)
            if (slot->Live) slot->Call(args...);
    }

  private:
    std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};
