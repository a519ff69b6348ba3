#pragma once
// The control channel of the stand-in shell: how tests and scripts talk to it.
//
// The shell owns a hidden top-level window of class kControlClass (title kControlClass).
// A client sends it WM_COPYDATA with wParam = the client's own window, dwData =
// kCommandMagic and lpData = one ASCII command line (cbData bytes, no terminator needed).
// Before SendMessage returns, the shell sends its reply back to the client's window as
// WM_COPYDATA with dwData = kReplyMagic and the reply text; SendMessage then returns 1 when
// the command succeeded and 0 when it failed (the reply text then says why). The control
// window appears only once the taskbar is complete, so a client that finds it finds the
// whole taskbar. standin/ControlChannel.h implements both ends.
//
// A command is one line (only `script` has more). Words are separated by blanks; numbers are
// decimal or 0x hexadecimal; window handles are given as numbers. A failed command's reply
// starts with "error: ". Texts at the end of reply lines (titles, tips) are escaped so that
// they stay on one line: "\\" for a backslash, "\n" and "\r" for line breaks.
//
// Shell commands:
//   sync                      catch up with every window now (the reports of a shell started
//                             with --async included; then a poll), then reply "ok"
//   dump                      the toolbar as it is, one line per button in toolbar order:
//                             "<index> id=<idCommand> style=0x<hh> state=0x<hh> img=<iBitmap>
//                              hwnd=0x<handle> text=<text>"
//                             (hwnd = the first four bytes of the dwData block; 0 for group
//                             headers and raw dwData). Window buttons have style 0x0, headers
//                             0x8 (BTNS_DROPDOWN); states: 0x4 enabled, 0x8 hidden, 0x1
//                             checked (the foreground window, or a collapsed header of its
//                             group), 0x20 set by the toolbar itself on a vertical bar.
//   rect                      "<left> <top> <right> <bottom>" of the toolbar on the screen
//   buttonrects               each button's rectangle on the screen, in toolbar order, as
//                             the toolbar lays it out: "<index> <left> <top> <right> <bottom>"
//                             ("<index> 0 0 0 0" for a hidden button)
//   edge bottom|top|left|right   dock the taskbar at that screen edge (bottom: 30 pixels
//                             high across the screen; left/right: 96 pixels wide)
//   grouping on|off           XP's "group similar taskbar buttons" (on at start unless
//                             --nogroup); off: every window is a group of its own
//   collapse <hwnd>           collapse the group of that window (header shown, members
//   expand <hwnd>             hidden) / expand it again; fails for a window without button
//   foreground <hwnd>         SetForegroundWindow from the shell, then poll; fails when the
//                             window did not come to the foreground
//   restart                   rebuild the taskbar (new windows, new toolbar, empty tray) as
//                             when Explorer restarts, and broadcast "TaskbarCreated"
//   script                    scripted mode: the shell stops following windows, empties the
//                             toolbar and takes the buttons that follow, one per line:
//                             "btn style=<n> state=<n> img=<n> hwnd=<n> [dwdata=<n>]
//                              [id=<n>] text=<rest of line>"
//                             (every field optional: style 0, state 0x4, img -1, id 1000 +
//                             the line's position; hwnd= becomes the first four bytes of the
//                             button's dwData block; dwdata= sets dwData itself instead, for
//                             faults). The image list then holds 8 letter icons "0".."7"
//                             (PaletteColour order) for img= 0..7.
//   unscript                  back to following the real windows (their buttons come anew)
//   countflap on|off          TB_BUTTONCOUNT answers a different count on every call
//   textfail <idCommand>      TB_GETBUTTONTEXTA answers -1 for that button (0: none)
//   textgrow <idCommand> <n>  the next TB_GETBUTTONTEXTA length query (no buffer) for that
//                             button is answered, then n "+" are added to its text, as when
//                             its window is renamed between a reader's length query and its
//                             fetch; once per command (n 0: disarm; a new script disarms all)
//   slowanswer <ms>           TB_GETBUTTON, TB_GETRECT and TB_GETBUTTONTEXT sent from another
//                             thread are answered only after ms milliseconds (0: at once)
//   tray                      the tray icons in the order added, one per line:
//                             "hwnd=0x<h> uid=<n> cb=0x<msg> icon=<w>x<h>|none hidden=<0|1>
//                              tip=<text>"
//   trayclick <hwnd> <uid> <mouse message>   posts the icon's owner its callback message
//                             (wParam uid, lParam the mouse message), as a click on it does
//   trayrefuse <n>            the next n NIM_ADD calls are refused (as by a shell that is still
//                             starting at logon); 0 disarms
//   trayadds                  every NIM_ADD received, in order, one per line:
//                             "pid=<n> hwnd=0x<h> uid=<n> ok=<0|1>" (pid: the owner's process)
//   handles                   "tray=0x.. rebar=0x.. tasksw=0x.. toolbar=0x.. notify=0x..
//                              control=0x.. pid=<n>"
//   isicon <handle>           "1" when the handle is an icon in the shell's process, else "0"
//   icons                     the number of icons that live in the shell's process (whoever
//                             made them there, a library loaded into it included); fails
//                             where they cannot be counted
//   quit                      close the shell
//
// Sample application commands (its control window, see kSampleControlClass):
//   list                      its windows that still exist, one per line:
//                             "<i> hwnd=0x<h> visible=<0|1> text=<title>"
//   hide <i> | show <i>       ShowWindow SW_HIDE / SW_SHOWNA (the shell learns at once, or
//                             after its --async delay)
//   title <i> <text>          SetWindowText
//   close <i>                 DestroyWindow (a closed window keeps its number)
//   open <title>              opens and shows one more window: "<i> hwnd=0x<h>"
//   activate <i>              SetForegroundWindow
//   trayicon <uid> <tip>      Shell_NotifyIcon NIM_ADD (NIM_MODIFY when it has that icon);
//                             the icon is added again on "TaskbarCreated"
//   untrayicon <uid>          NIM_DELETE
//   traylog                   the tray callbacks received: "uid=<n> msg=0x<m>" per line
//   quit                      close the application
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
