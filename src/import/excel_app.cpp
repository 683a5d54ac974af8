#include "import/excel_app.h"

#include "import/dispatch_call.h"
#include "sheets/engine.h"

namespace vellumark::import {

using sheets::DispatchStatus;
using sheets::InvokeKind;
using sheets::Variant;

const std::vector<AppEvent>& AppEvents() {
  static const std::vector<AppEvent> events = {
      {sheets::event::kWorkbookOpen, 0, 1},
      {sheets::event::kWorkbookActivate, 1, 1},
      {sheets::event::kWorkbookDeactivate, 2, 1},
      {sheets::event::kWorkbookBeforeClose, 3, 2},
      {sheets::event::kWorkbookBeforeSave, 4, 3},
      {sheets::event::kWorkbookBeforePrint, 5, 2},
      {sheets::event::kWorkbookNewSheet, 6, 2},
      {sheets::event::kSheetActivate, 7, 1},
      {sheets::event::kSheetDeactivate, 8, 1},
  };
  return events;
}

// The object the engine calls with its events. It offers no type
// information; it answers every member id, forwarding the nine events and
// accepting anything else without effect.
class ExcelApp::Receiver : public sheets::Dispatch {
 public:
  explicit Receiver(ExcelApp* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  const sheets::TypeInfo* type_info() const override { return nullptr; }

  DispatchStatus Invoke(sheets::MemberId member, InvokeKind,
                        std::span<const Variant> args, Variant*,
                        sheets::ExceptionInfo*) override {
    for (const AppEvent& event : AppEvents()) {
      if (event.member != member) continue;
      if (args.size() != event.arguments) return DispatchStatus::kBadParamCount;
      std::vector<sheets::AutomationObject> objects;
      for (const Variant& arg : args) {
        if (arg.kind() == Variant::Kind::kObject) {
          objects.emplace_back(arg.object());
        }
      }
      if (owner_) owner_->Raise(event.number, objects);
      return DispatchStatus::kOk;
    }
    return DispatchStatus::kOk;
  }

 private:
  ExcelApp* owner_;
};

ExcelApp::ExcelApp() : ExcelApp([] { return sheets::StartEngine(); }) {}

ExcelApp::ExcelApp(EngineFactory factory) : factory_(std::move(factory)) {}

ExcelApp::EngineFactory ExcelApp::NoEngine() {
  return [] { return std::shared_ptr<sheets::Dispatch>(); };
}

ExcelApp::~ExcelApp() { ReleaseApplication(); }

bool ExcelApp::CreateApplication() {
  ReleaseApplication();
  std::shared_ptr<sheets::Dispatch> application = factory_ ? factory_() : nullptr;
  if (!application) return false;
  application_ = std::move(application);
  receiver_ = std::make_shared<Receiver>(this);
  // Without a subscription the application still serves.
  connection_ = application_->FindConnectionPoint(sheets::kAppEventsInterface);
  if (connection_) {
    if (const auto cookie = connection_->Advise(receiver_)) {
      cookie_ = *cookie;
    } else {
      connection_.reset();
    }
  }
  return true;
}

void ExcelApp::SetVisible(bool visible) {
  if (!application_) return;
  Call(application_.get(), sheets::member::kVisible, InvokeKind::kPropertyPut,
       {Variant::Boolean(visible)});
}

void ExcelApp::QuitApplication() {
  if (!application_) return;
  Call(application_.get(), sheets::member::kQuit, InvokeKind::kMethod, {});
}

void ExcelApp::ReleaseApplication() {
  if (!application_) return;
  if (connection_) connection_->Unadvise(cookie_);
  connection_.reset();
  cookie_ = 0;
  // The engine may still hold the receiver: cut it off from this component.
  receiver_->Detach();
  receiver_.reset();
  application_.reset();
}

void ExcelApp::Raise(int number, std::vector<sheets::AutomationObject>& objects) {
  if (handler_) handler_(number, objects);
}

}  // namespace vellumark::import
