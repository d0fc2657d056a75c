#pragma once
// The mouse cursor and pointer services of the platform, and the program's own way to set cursors.
//
// Every window changes the cursor through TSmartCursor, which goes through the registered cursor
// service. At start the program puts TMyCursorService in front of the platform's service: cursor
// numbers 1 to 5 show the program's own cursor pictures, every other number is passed on. The Qt side
// (platform/qt/cursors.h) supplies the platform service and the pictures.

#include "platform/core/planar.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace vendrel {

// Cursor numbers: the platform's standard cursors are negative, the program's own are 1 to 5.
using TCursor = int16_t;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// The program's own cursor n (1..5) is the cursor resource kFirstOwnCursorResource - 1 + n.
inline constexpr int kFirstOwnCursorResource = 32800;
inline constexpr TCursor kOwnCursorCount = 5;

class ICursorService {
public:
    virtual ~ICursorService() = default;
    virtual void SetCursor(TCursor ACursor) = 0;
    virtual TCursor GetCursor() const = 0;
};

class IMouseService {
public:
    virtual ~IMouseService() = default;
    // The pointer position in screen coordinates.
    virtual TPointF GetMousePos() const = 0;
};

// The registered services; nullptr when the platform offers none. UI thread only. Registering
// returns the service registered before.
std::shared_ptr<ICursorService> CursorService();
std::shared_ptr<ICursorService> RegisterCursorService(std::shared_ptr<ICursorService> service);
std::shared_ptr<IMouseService> MouseService();
std::shared_ptr<IMouseService> RegisterMouseService(std::shared_ptr<IMouseService> service);

// Registers a cursor service for the guard's life and puts the previous one back on every exit path.
class TScopedCursorService {
public:
    explicit TScopedCursorService(std::shared_ptr<ICursorService> service)
        : previous_(RegisterCursorService(std::move(service))) {}
    ~TScopedCursorService() { RegisterCursorService(std::move(previous_)); }
    TScopedCursorService(const TScopedCursorService&) = delete;
    TScopedCursorService& operator=(const TScopedCursorService&) = delete;

private:
    std::shared_ptr<ICursorService> previous_;
};

// The same for the mouse service.
class TScopedMouseService {
public:
    explicit TScopedMouseService(std::shared_ptr<IMouseService> service)
        : previous_(RegisterMouseService(std::move(service))) {}
    ~TScopedMouseService() { RegisterMouseService(std::move(previous_)); }
    TScopedMouseService(const TScopedMouseService&) = delete;
    TScopedMouseService& operator=(const TScopedMouseService&) = delete;

private:
    std::shared_ptr<IMouseService> previous_;
};

// The pointer position from the mouse service; (0, 0) without one.
TPointF GetMousePos();

// Held in a local for the length of an operation; releasing it leaves the cursor as it is.
class ISmartCursor {
public:
    virtual ~ISmartCursor() = default;
};
using ISmartCursorRef = std::shared_ptr<ISmartCursor>;

class TSmartCursor : public ISmartCursor {
public:
    static ISmartCursorRef HourGlass();
    static ISmartCursorRef Move();
    static ISmartCursorRef MultiDrag();
    static ISmartCursorRef Forbidden();
    static ISmartCursorRef Cross();
    static ISmartCursorRef Default();

    // The service taken at creation; null when the platform has none.
    std::shared_ptr<ICursorService> CursorService;

private:
    explicit TSmartCursor(TCursor ACursor);
    static ISmartCursorRef Make(TCursor ACursor);
};

// Shows the program's own cursor whose resource number is given (kFirstOwnCursorResource..+4).
using TShowOwnCursor = std::function<void(int ResourceId)>;

class TMyCursorService : public ICursorService {
public:
    // previous: the platform's service that other numbers are passed on to (may be null).
    TMyCursorService(std::shared_ptr<ICursorService> previous, TShowOwnCursor showOwn);

    void SetCursor(TCursor ACursor) override;
    TCursor GetCursor() const override;

private:
    std::shared_ptr<ICursorService> previous_;
    TShowOwnCursor showOwn_;
};

// Puts a TMyCursorService in place of the registered cursor service, keeping that one as the service
// it passes on to. Called once at start; returns the new service.
std::shared_ptr<TMyCursorService> InstallProgramCursorService(TShowOwnCursor showOwn);

} // namespace vendrel
