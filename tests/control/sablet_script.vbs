' The control's properties from VBScript, which reads a property with the
' method and get flags together.
Dim failures
failures = 0
Sub Expect(what, got, want)
    If got <> want Then
        WScript.Echo "FAIL " & what & ": got " & got & ", want " & want
        failures = failures + 1
    End If
End Sub

Dim o
Set o = CreateObject("Sablet.Sablet2")
o.FileName = String(300, "a") : Expect "FileName", Len(o.FileName), 255
o.Location = String(600, "b") : Expect "Location", Len(o.Location), 500
o.UseMP3 = 1 : Expect "UseMP3 without an encoder", o.UseMP3, 0
o.Frequency = 8000 : Expect "Frequency", o.Frequency, 8000
o.SampleBit = 8 : o.SampleBit = 24 : Expect "SampleBit", o.SampleBit, 8
o.Channel = 3 : Expect "Channel 3", o.Channel, 2
o.Channel = 1 : Expect "Channel 1", o.Channel, 1
o.MP3Bitrate = 64 : o.MP3Bitrate = 65 : Expect "MP3Bitrate", o.MP3Bitrate, 64
o.SampleRate = 70000 : Expect "SampleRate", o.SampleRate, 70000
Expect "Frequency low bits", o.Frequency, 4464
o.UploadURL = "http://up.test/" : Expect "UploadURL", o.UploadURL, "http://up.test/"
o.SampleFrequency = 22050 : Expect "SampleFrequency", o.SampleFrequency, 22050
o.SampleFrequency = 1 : Expect "SampleFrequency other", o.SampleFrequency, 16000
o.PubID = 77 : Expect "PubID", o.PubID, 77
o.AllowParaChange = 0 : Expect "AllowParaChange", o.AllowParaChange, 0
o.AdChannelID = 5 : Expect "AdChannelID", o.AdChannelID, 5
o.Domain = "d.test" : Expect "Domain", o.Domain, "d.test"
o.Resize = 1 : Expect "Resize", o.Resize, 1
o.MenuBar = 0 : Expect "MenuBar", o.MenuBar, 0
o.AddressBar = 0 : Expect "AddressBar", o.AddressBar, 0
o.ToolBar = 0 : Expect "ToolBar", o.ToolBar, 0
o.Align = 1 : Expect "Align", o.Align, 1
o.NewWindow = 0 : Expect "NewWindow", o.NewWindow, 0
o.TopOffset = 20 : Expect "TopOffset", o.TopOffset, 20
o.EmbedTag = String(200, "c") : Expect "EmbedTag", Len(o.EmbedTag), 127
On Error Resume Next
o.Frequency = 44100
Dim refused
refused = (Err.Number <> 0)
On Error GoTo 0
Expect "Frequency = 44100 refused", refused, True
Expect "rate after the refused put", o.SampleRate, 16000
If failures = 0 Then WScript.Echo "PASSED" Else WScript.Echo "FAILED " & failures
WScript.Quit failures
