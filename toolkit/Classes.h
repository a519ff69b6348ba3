#pragma once
// The component model of the framework: every form, control and non-visual part is a
// TComponent owned by another one (a form owns its controls, timers and message box; the
// application owns its forms) and destroyed with it. Events are std::function members that
// are called only when set, with the sender first. Platform-free.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Exception;

class TObject {
public:
    virtual ~TObject() = default;
};

// The modifier keys held down with a key or mouse event, and the mouse button of a mouse event.
enum TShiftFlag : uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32
};
using TShiftState = uint8_t;
// A mouse button: left (0), right (1), middle (2).
enum class TMouseButton : uint8_t { Left, Right, Middle };
// How a text lies in its area.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// Calls an event when it is set.
template <typename Event, typename... Args> void Fire(const Event& event, Args&&... args) {
    if (event)
        event(std::forward<Args>(args)...);
}

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* Owner, std::string Name = {})
        : Owner_(Owner), Name_(std::move(Name)) {}
    ~TComponent() override { DestroyComponents(); }
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return Owner_; }
    const std::string& Name() const { return Name_; }

    // Creates a component owned by this one: T's constructor takes the owner first.
    template <typename T, typename... Args> T* Create(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = component.get();
        Components_.push_back(std::move(component));
        return raw;
    }

    int ComponentCount() const { return static_cast<int>(Components_.size()); }
    TComponent* Components(int i) const { return Components_[static_cast<size_t>(i)].get(); }

    // Runs once when the owner has finished creating its components, in the order they were
    // created, before the owner's creation handler; a component does its start-up work here.
    virtual void Loaded() {}
    // Runs Loaded on every owned component, in creation order.
    void LoadComponents() {
        for (auto& c : Components_)
            c->Loaded();
    }

protected:
    // Destroys the owned components, the last created first.
    void DestroyComponents() {
        while (!Components_.empty()) {
            std::unique_ptr<TComponent> last = std::move(Components_.back());
            Components_.pop_back();
            last.reset();
        }
    }

private:
    TComponent* Owner_;
    std::string Name_;
    std::vector<std::unique_ptr<TComponent>> Components_;
};
