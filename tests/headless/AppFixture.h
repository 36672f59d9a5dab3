#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainUnit.h"
#include "content/ImageCodecs.h"
#include "platform/headless/HeadlessPlatform.h"
#include "support/FormAccess.h"
#include "support/TestPlatform.h"

// The real program on the headless backend, in a program directory of its own.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = MakeTempDir("app");
        Os = std::make_unique<THeadlessPlatform>(Dir);
        Os->Seed = 12345;
        Os->Tick = 1000;
    }
    void TearDown() override {
        Form.reset();
        Os.reset();
        std::string cmd = "rm -rf '" + Dir + "'";
        if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << Dir;
    }

    // Writes the settings file (lines without the section header) before the start.
    void WriteIni(const std::string& lines) {
        ASSERT_TRUE(Os->WriteFile(Dir + "Orvane.ini", "[Orvane.ini]\r\n" + lines));
    }
    std::string ReadIni() {
        std::string text;
        Os->ReadFile(Dir + "Orvane.ini", text);
        return text;
    }

    // Builds the window as the entry point does; the first timer event follows.
    void Start() {
        Form = std::make_unique<TOrvaneFM>(*Os);
        ASSERT_TRUE(Form->FormCreate()) << (Os->Messages.empty() ? "" : Os->Messages[0].Text);
        Os->ShowMainWindow();
        Form->FormShown();
        Os->Sounds.clear();
    }
    // The system's close (the taskbar, Alt+F4): the window is destroyed once the
    // handler has returned, and the program's destroy handler runs then.
    void Close() {
        Os->Dispatch([&] { Form->Events.FormCloseQuery(); });
    }

    // Timer events every 10 ms for `ms` milliseconds.
    void Tick(int ms) { Os->AdvanceClock(ms); }
    // Timer events until the sequencer is idle; returns how many steps ran.
    int Idle() {
        int steps = 0;
        // One timer event each step's interval: the clock jumps to just before it.
        for (int i = 0; i < 10000 && Os->WindowCreated && State().AnimStep != 0; ++i) {
            Os->Tick += FrameInterval - 10;
            Os->AdvanceClock(10);
            ++steps;
        }
        return steps;
    }
    // The user's mouse and keys, at points of the window, as Windows delivers them.
    void Down(int x, int y, TMouseButton b = TMouseButton::Left, TShiftState s = {}) {
        Os->PressMouse(b, x, y, s);
    }
    void Up(int x, int y, TMouseButton b = TMouseButton::Left, TShiftState s = {}) {
        Os->ReleaseMouse(b, x, y, s);
    }
    void Move(int x, int y) { Os->MoveMouse(x, y); }
    void Click(int x, int y, TShiftState s = {}) {
        Down(x, y, TMouseButton::Left, s);
        Up(x, y, TMouseButton::Left, s);
    }
    void Key(int code, TShiftState s = {}) { Os->PressKey(code, s); }
    void Type(const std::string& utf8) { Os->TypeText(Os->Utf8ToSjis(utf8)); }
    std::string LabelText(TControl c) { return Os->SjisToUtf8(Os->Labels[c].Text); }
    // Opens the menu as a right click does and chooses an item.
    void Menu(TMenuItem item) {
        Os->PendingMenuChoice = static_cast<int>(item);
        Down(206, 298, TMouseButton::Right);
        Up(206, 298, TMouseButton::Right);
    }
    TFormState State() const { return Form->State(); }
    // The window's pictures, for the tests that draw.
    TFormPictures Pics() { return TFormAccess::Pictures(*Form); }
    // A JPEG resource decoded here, to compare with what the window shows.
    bool LoadJpeg(const std::string& name, TPicture& picture) {
        TResourceView view;
        picture.Release();
        return Os->FindResourceData("JPG", name, view) && DecodeJpeg(view.Data, view.Size, picture);
    }
    ButtonRecord Button(int id) const { return State().Buttons[id]; }
    void SeeAll() { TFormAccess::SeeAll(*Form); }

    std::string Dir;
    std::unique_ptr<THeadlessPlatform> Os;
    std::unique_ptr<TOrvaneFM> Form;
};
