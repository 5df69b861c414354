// The control's properties from JScript, as a page's script sets them.
var failures = 0;
function expect(what, got, want) {
    if (got !== want) {
        WScript.Echo("FAIL " + what + ": got " + got + ", want " + want);
        failures++;
    }
}
function repeat(c, n) { var s = c; while (s.length < n) s += s; return s.substring(0, n); }

var o = new ActiveXObject("Sablet.Sablet2");
o.FileName = repeat("a", 300); expect("FileName", o.FileName.length, 255);
o.Location = repeat("b", 600); expect("Location", o.Location.length, 500);
o.UseMP3 = 1; expect("UseMP3 without an encoder", o.UseMP3, 0);
o.Frequency = 8000; expect("Frequency", o.Frequency, 8000);
o.SampleBit = 8; o.SampleBit = 24; expect("SampleBit", o.SampleBit, 8);
o.Channel = 0; expect("Channel 0", o.Channel, 2);
o.Channel = 1; expect("Channel 1", o.Channel, 1);
o.MP3Bitrate = 128; o.MP3Bitrate = 100; expect("MP3Bitrate", o.MP3Bitrate, 128);
o.SampleRate = 70000; expect("SampleRate", o.SampleRate, 70000);
expect("Frequency low bits", o.Frequency, 4464);
o.UploadURL = "http://up.test/"; expect("UploadURL", o.UploadURL, "http://up.test/");
o.SampleFrequency = 44100; expect("SampleFrequency", o.SampleFrequency, 44100);
o.SampleFrequency = 12345; expect("SampleFrequency other", o.SampleFrequency, 16000);
o.PubID = 77; expect("PubID", o.PubID, 77);
o.AllowParaChange = 0; expect("AllowParaChange", o.AllowParaChange, 0);
o.AdChannelID = 5; expect("AdChannelID", o.AdChannelID, 5);
o.Domain = "d.test"; expect("Domain", o.Domain, "d.test");
o.Resize = 1; expect("Resize", o.Resize, 1);
o.MenuBar = 0; expect("MenuBar", o.MenuBar, 0);
o.AddressBar = 0; expect("AddressBar", o.AddressBar, 0);
o.ToolBar = 0; expect("ToolBar", o.ToolBar, 0);
o.Align = 1; expect("Align", o.Align, 1);
o.NewWindow = 0; expect("NewWindow", o.NewWindow, 0);
o.TopOffset = 20; expect("TopOffset", o.TopOffset, 20);
o.EmbedTag = repeat("c", 200); expect("EmbedTag", o.EmbedTag.length, 127);
var refused = false;
try { o.Frequency = 44100; } catch (e) { refused = true; }
expect("Frequency = 44100 refused", refused, true);
expect("rate after the refused put", o.SampleRate, 16000);
WScript.Echo(failures ? "FAILED " + failures : "PASSED");
WScript.Quit(failures ? 1 : 0);
