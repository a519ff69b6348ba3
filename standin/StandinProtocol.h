#pragma once
// The control channel of the stand-in shell: how tests and scripts talk to it.
//
// The shell owns a hidden top-level window of class kControlClass (title kControlClass).
// A client sends it WM_COPYDATA with wParam = the client's own window, dwData =
// kCommandMagic and lpData = one ASCII command line (cbData bytes, no terminator needed).
// Before SendMessage returns, the shell sends its reply back to the client's window as
// WM_COPYDATA with dwData = kReplyMagic and the reply text; SendMessage then returns 1 when
// the command succeeded and 0 when it failed (the reply text then says why).
//
// Commands (words separated by spaces; numbers decimal or 0x hexadecimal):
//   sync                      catch up with every window now, then reply "ok"
//   dump                      the toolbar, one line per button in toolbar order:
//                             "<index> id=<idCommand> style=0x<hh> state=0x<hh> img=<iBitmap>
//                              hwnd=0x<handle> text=<text>"
//   rect                      "<left> <top> <right> <bottom>" of the toolbar on the screen
//   edge bottom|top|left|right   dock the taskbar at that screen edge
//   grouping on|off           XP's "group similar taskbar buttons"
//   collapse <hwnd>           collapse the group of that window (header shown, members
//   expand <hwnd>             hidden) / expand it again
//   restart                   rebuild the taskbar and broadcast "TaskbarCreated"
//   script                    scripted mode: the shell stops following windows, empties the
//                             toolbar and takes the buttons that follow, one per line:
//                             "btn style=<n> state=<n> img=<n> hwnd=<n> text=<rest of line>"
//                             (hwnd= becomes the first four bytes of the button's dwData
//                             block; "dwdata=<n>" instead sets dwData itself, for faults)
//   unscript                  back to following the real windows
//   countflap on|off          TB_BUTTONCOUNT answers a different count on every call
//   textfail <idCommand>      TB_GETBUTTONTEXTA answers -1 for that button (0: none)
//   tray                      the tray icons, one per line:
//                             "hwnd=0x<h> uid=<n> cb=0x<msg> tip=<text>"
//   trayclick <hwnd> <uid> <mouse message>   sends the owner its callback message
//   quit                      close the shell
namespace standin {
constexpr const char* kControlClass = "ZvStandinControl";
constexpr unsigned long kCommandMagic = 0x5A560001;
constexpr unsigned long kReplyMagic = 0x5A560002;

// The sample application's control window: class kSampleControlClass, title = the name given
// with --name. Same transport as above.
constexpr const char* kSampleControlClass = "ZvSampleControl";
// Registered message a program sends (SendMessage, so in call order) to the shell's control
// window from its WM_WINDOWPOSCHANGED before returning: wParam = the window, lParam =
// kWindowShown, kWindowHidden or kWindowRetitled. Windows that do not tell are polled.
constexpr const char* kWindowEventMessage = "ZvStandinWindowEvent";
constexpr long kWindowHidden = 0, kWindowShown = 1, kWindowRetitled = 2;
// Window property of the sample application's windows: (RGB colour << 8) | letter of the
// window's icon, from which the shell draws the same icon (Wine cannot use an icon handle
// of another process).
constexpr const char* kIconProperty = "ZvSampleIcon";
// Window property of the sample application's windows: a global atom holding the
// application's name, by which the shell groups them.
constexpr const char* kAppNameProperty = "ZvSampleApp";
} // namespace standin
