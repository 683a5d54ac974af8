#pragma once

// The application component: starts one spreadsheet engine, holds its
// application object, hides it, asks it to quit, lets it go, and forwards
// its application events as the component's events 0 to 8.

#include <functional>
#include <memory>
#include <vector>

#include "sheets/automation_object.h"
#include "sheets/dispatch.h"

namespace vellumark::import {

class ExcelApp {
 public:
  // Starts an engine and returns its application object; null when there
  // is none to be had.
  using EngineFactory = std::function<std::shared_ptr<sheets::Dispatch>()>;
  // Receives event `number` (0 to 8) with every object argument wrapped in
  // a handle of its own; the handles are released after the call.
  using EventHandler =
      std::function<void(int number, std::vector<sheets::AutomationObject>& objects)>;

  // The built-in engine.
  ExcelApp();
  explicit ExcelApp(EngineFactory factory);
  // A factory that never has an engine, for the "nothing installed" path.
  static EngineFactory NoEngine();

  ~ExcelApp();
  ExcelApp(const ExcelApp&) = delete;
  ExcelApp& operator=(const ExcelApp&) = delete;

  // Lets an earlier engine go (without asking it to quit) and starts a new
  // one. True when an engine was started.
  bool CreateApplication();
  void SetVisible(bool visible);
  // Asks the engine to quit; the reference is kept until ReleaseApplication.
  void QuitApplication();
  // Unsubscribes the events and lets the application object go.
  void ReleaseApplication();

  void SetEventHandler(EventHandler handler) { handler_ = std::move(handler); }
  const std::shared_ptr<sheets::Dispatch>& application() const {
    return application_;
  }

 private:
  class Receiver;
  friend class Receiver;
  void Raise(int number, std::vector<sheets::AutomationObject>& objects);

  EngineFactory factory_;
  EventHandler handler_;
  std::shared_ptr<sheets::Dispatch> application_;
  std::shared_ptr<Receiver> receiver_;
  std::shared_ptr<sheets::ConnectionPoint> connection_;
  std::uint32_t cookie_ = 0;
};

// The engine's application events by member id, with the number each is
// raised as and the arguments it carries.
struct AppEvent {
  sheets::MemberId member;
  int number;
  std::size_t arguments;
};
const std::vector<AppEvent>& AppEvents();

}  // namespace vellumark::import
