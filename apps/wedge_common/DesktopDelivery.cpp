#include "apps/wedge_common/DesktopDelivery.h"

#include <algorithm>

#include "apps/desktop/GlobalShortcuts.h"
#include "apps/desktop/RemoteDesktopKeyboard.h"
#include "apps/desktop/WedgeControl.h"
#include "state/ProcessState.h"
#include "ui/app/DeliveryStatus.h"

namespace qm::app {

namespace {

// What the engine connection may change to without any other sign: a line that fails.
constexpr std::chrono::milliseconds kEngineStatusPoll{2000};

const char* pathName(TypingPath path) {
    switch (path) {
        case TypingPath::XTest:
            return "X11 (XTest)";
        case TypingPath::VirtualKeyboard:
            return "the compositor's virtual keyboard";
        case TypingPath::Portal:
            return "the desktop's remote desktop portal";
        case TypingPath::Uinput:
            return "/dev/uinput, in the session's keyboard layout";
    }
    return "";
}

std::string joined(const std::vector<std::string>& parts, const char* last) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? last : ", ";
        text += parts[i];
    }
    return text;
}

QString name(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

DesktopDelivery::DesktopDelivery(Setup setup, QDBusConnection bus, Clock& clock,
                                 std::function<ProcessState*()> state,
                                 ui::DeliveryStatusBoard& board)
    : setup_(std::move(setup)),
      bus_(bus),
      state_(std::move(state)),
      board_(board),
      input_(openDesktopInput(setup_.choice, setup_.environment)),
      // Until start-up has built the state, a press is refused as scanning is paused.
      remote_(clock,
              [this] {
                  ProcessState* state = state_();
                  return state ? triggerKeysOf(*state) : TriggerKeysNow{};
              }),
      delivered_([this] { board_.decodeLost(); }),
      keys_({input_.x11Keys.get(), input_.evdevKeys.get(), &remote_, setup_.extraKeys}) {
    if (!input_.keyboard) openPortalTyping(bus);
    if (!portal_) delivered_.use(input_.keyboard.get());
    control_ = std::make_unique<desktop::WedgeControlService>(
        bus, setup_.busName, remote_,
        [this] {
            ProcessState* state = state_();
            return state ? desktop::wedgeStatusOf(*state) : desktop::WedgeStatus{};
        },
        kEngineStatusPoll);
    publish();
}

DesktopDelivery::~DesktopDelivery() { stopped(); }

void DesktopDelivery::openPortalTyping(QDBusConnection bus) {
    const auto& paths = input_.paths;
    if (std::find(paths.begin(), paths.end(), TypingPath::Portal) == paths.end()) return;
    portal_ = desktop::RemoteDesktopKeyboard::open(
        bus, desktop::RestoreTokenFile::remoteDesktop(setup_.deviceRoot));
    if (!portal_) {
        openTypingAfterPortal(input_, unopenedPathProblem(TypingPath::Portal));
        return;
    }
    input_.typing = TypingPath::Portal;
    delivered_.use(portal_.get(), [portal = portal_.get()] { return portal->droppedEvents(); });
    connect(portal_.get(), &desktop::RemoteDesktopKeyboard::stateChanged, this,
            &DesktopDelivery::portalChanged);
}

// A desktop that refused typing, or ended it, leaves the paths after the portal.
void DesktopDelivery::portalChanged() {
    const auto state = portal_->state();
    if (!portalLetGo_ && (state == desktop::RemoteDesktopKeyboard::State::Refused ||
                          state == desktop::RemoteDesktopKeyboard::State::Ended)) {
        portalLetGo_ = true;
        input_.typing.reset();
        openTypingAfterPortal(
            input_, "the desktop's remote desktop portal: " + portal_->problem().toStdString());
        delivered_.use(input_.keyboard.get());
    }
    publish();
}

void DesktopDelivery::started() {
    ProcessState& state = *state_();
    if (input_.sources.portal) {
        shortcuts_ =
            desktop::GlobalShortcuts::open(bus_, remote_, name(state.scanSettings.scanKeyName),
                                           name(state.scanSettings.targetKeyName));
        if (shortcuts_)
            connect(shortcuts_.get(), &desktop::GlobalShortcuts::stateChanged, this,
                    &DesktopDelivery::publish);
    }
    // ScanningEnabled wakes the scanning thread at every change; the bus hears of it too.
    scanningWatch_.emplace(state.link.threadWake.subscribe([this, &state] {
        const int32_t now = state.ScanningEnabled.load();
        if (scanningAnnounced_.exchange(now) != now)
            QMetaObject::invokeMethod(this, "refreshControl", Qt::QueuedConnection);
    }));
    refreshControl();
    publish();
}

void DesktopDelivery::refreshControl() {
    if (control_) control_->refresh();
}

void DesktopDelivery::triggerKeysChanged() {
    if (!shortcuts_) return;
    const ProcessState& state = *state_();
    shortcuts_->rebind(name(state.scanSettings.scanKeyName),
                       name(state.scanSettings.targetKeyName));
}

void DesktopDelivery::stopped() {
    scanningWatch_.reset();
    shortcuts_.reset();
}

void DesktopDelivery::publish() {
    ui::DeliveryStatus status = board_.status();
    status.typing = typingSentence(status.canType);
    status.triggers = triggerSentence(status.hasTriggers);
    board_.set(status);
}

std::string DesktopDelivery::typingSentence(bool& canType) const {
    canType = false;
    if (portal_ && input_.typing == TypingPath::Portal) {
        using State = desktop::RemoteDesktopKeyboard::State;
        if (portal_->state() == State::Ready) {
            canType = true;
            return std::string("Bar codes are typed through ") + pathName(TypingPath::Portal) + ".";
        }
        return "Waiting for the desktop to allow typing (it asks once): until then bar codes are "
               "typed into no application.";
    }
    if (input_.typing) {
        canType = true;
        return std::string("Bar codes are typed through ") + pathName(*input_.typing) + ".";
    }
    return "Bar codes cannot be typed into other applications: " +
           joined(input_.typingProblems, "; ") +
           ". The README's \"Desktops\" section (man quillmark) says what to do.";
}

std::string DesktopDelivery::triggerSentence(bool& hasTriggers) const {
    std::vector<std::string> sources;
    if (input_.x11Keys) sources.push_back("the keyboard (XInput2)");
    if (shortcuts_ && shortcuts_->isBound()) sources.push_back("the desktop's global shortcuts");
    if (input_.evdevKeys) sources.push_back("the keyboards' event devices");
    if (control_ && control_->isActive())
        sources.push_back("key bindings and scripts on the session bus (" +
                          setup_.busName.toStdString() + ")");
    hasTriggers = !sources.empty();
    std::string text = hasTriggers
                           ? "Trigger keys come in through " + joined(sources, " and ") + "."
                           : std::string("No trigger key reaches Quillmark.");
    for (const std::string& problem : input_.triggerProblems) text += " " + problem + ".";
    if (shortcuts_ && !shortcuts_->isBound())
        text += " Global shortcuts: " + shortcuts_->problem().toStdString() + ".";
    if (control_ && !control_->isActive())
        text += " The control interface is off: " + control_->problem().toStdString() + ".";
    const bool onlyBindings = hasTriggers && !input_.x11Keys && !input_.evdevKeys &&
                              !(shortcuts_ && shortcuts_->isBound());
    if (onlyBindings) text += " The desktop's key bindings are yours to set (see the README).";
    return text;
}

}  // namespace qm::app
