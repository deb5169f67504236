#include "receiver/app/splash_step.h"

#include "receiver/io/instance_channel.h"
#include "receiver/ui/splash_window.h"

namespace receiver {

void ShowSplash() {
    receiver_ui::SplashWindow splash;
    // Start and stop mean nothing yet: no socket is there to open or close.
    InstanceServer server([&splash](const std::string& command) {
        if (command == instance_commands::kRaise) {
            splash.raise();
            splash.activateWindow();
        }
    });
    server.listen(InstanceSocketPath());
    splash.exec();
}

}  // namespace receiver
