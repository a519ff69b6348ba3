// The start-with-Windows entry against a registry key held in memory.
#include "app/RunEntry.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {
const std::string kPath = "C:\\Program Files\\Zorvane\\Zorvane.exe";

// The Run key: its values, whether it can be opened and whether writing fails.
struct TFakeRegistry {
    std::map<std::string, TRunValue> Values;
    bool Openable = true;
    bool WriteFails = false;
    int Opens = 0;
    bool LastOpenForWrite = false;

    TRunKeyOpener Opener() {
        return [this](bool Write) -> std::unique_ptr<TRunKey> {
            if (!Openable)
                return nullptr;
            ++Opens;
            LastOpenForWrite = Write;
            return std::make_unique<TKey>(*this);
        };
    }

    struct TKey : TRunKey {
        explicit TKey(TFakeRegistry& R) : Reg(R) {}
        TRunValue Read(const std::string& Name) override {
            auto it = Reg.Values.find(Name);
            return it == Reg.Values.end() ? TRunValue{} : it->second;
        }
        void Write(const std::string& Name, const std::string& Data) override {
            if (Reg.WriteFails)
                throw std::runtime_error("Failed to set data for '" + Name + "'");
            Reg.Values[Name] = {true, kRegSz, Data};
        }
        void Delete(const std::string& Name) override { Reg.Values.erase(Name); }
        TFakeRegistry& Reg;
    };
};

TRunValue Sz(const std::string& Data, uint32_t Type = kRegSz) {
    return {true, Type, Data};
}
} // namespace

TEST(RunEntry, OnlyAStringWithTheProgramsPathQuotedOrBareCountsAsPresent) {
    struct TCase {
        int Line;
        TRunValue Value;
        bool Ours;
    };
    const TCase cases[] = {
        {__LINE__, Sz(kPath), true},
        {__LINE__, Sz("c:\\PROGRAM FILES\\zorvane\\zorvane.EXE"), true}, // letter case
        {__LINE__, Sz(kPath, kRegExpandSz), true},
        {__LINE__, Sz("\"" + kPath + "\""), true}, // quoted, as written now
        {__LINE__, Sz("\"" + kPath), false},
        {__LINE__, Sz("\"\""), false},
        {__LINE__, Sz(kPath + " /min"), false},
        {__LINE__, Sz("C:\\Program Files\\Zorvane\\Zorvane"), false},
        {__LINE__, Sz(kPath, 3 /* REG_BINARY */), false},
        {__LINE__, Sz(kPath, 7 /* REG_MULTI_SZ */), false},
        {__LINE__, TRunValue{}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(RunValueIsOurs(c.Value, kPath), c.Ours) << "line " << c.Line;
    // Only ASCII letters compare without case: 0xC4 and 0xE4 stay different.
    EXPECT_FALSE(RunValueIsOurs(Sz("C:\\\xC4.exe"), "C:\\\xE4.exe"));
}

TEST(RunEntry, ReadingTellsWhetherTheValueIsOursAndWhetherItExists) {
    TFakeRegistry reg;
    bool enabled = true;
    EXPECT_FALSE(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, false));
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(reg.LastOpenForWrite);

    reg.Values["Zorvane"] = Sz("\"D:\\other\\Zorvane.exe\"");
    EXPECT_TRUE(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, false));
    EXPECT_FALSE(enabled);
}

TEST(RunEntry, WritingPutsThePathInQuotesOverAnyOldValueAndReadsBack) {
    for (const TRunValue& old :
         {TRunValue{}, Sz(kPath), Sz("D:\\old\\Zorvane.exe"), Sz(kPath, 4 /* REG_DWORD */)}) {
        TFakeRegistry reg;
        if (old.Exists)
            reg.Values["Zorvane"] = old;
        bool enabled = true;
        EXPECT_TRUE(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, true));
        EXPECT_TRUE(enabled);
        EXPECT_EQ(reg.Values["Zorvane"].Data, "\"" + kPath + "\"");
        EXPECT_EQ(reg.Values["Zorvane"].Type, kRegSz);
        EXPECT_EQ(reg.Opens, 2); // the write, then the read-back
    }
}

TEST(RunEntry, UncheckingDeletesOnlyOurValue) {
    TFakeRegistry reg;
    reg.Values["Zorvane"] = Sz(kPath);
    reg.Values["Other"] = Sz("C:\\other.exe");
    reg.Values["zorvane2"] = Sz(kPath);
    bool enabled = false;
    EXPECT_FALSE(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, true));
    EXPECT_FALSE(enabled);
    EXPECT_EQ(reg.Values.count("Zorvane"), 0u);
    EXPECT_EQ(reg.Values.size(), 2u);
}

TEST(RunEntry, AKeyThatCannotBeOpenedLeavesTheStateAsItWas) {
    TFakeRegistry reg;
    reg.Openable = false;
    for (bool write : {false, true})
        for (bool state : {false, true}) {
            bool enabled = state;
            EXPECT_FALSE(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, write));
            EXPECT_EQ(enabled, state);
        }
}

TEST(RunEntry, AFailedWriteIsReadBackAndThenRaised) {
    for (bool before : {false, true}) {
        TFakeRegistry reg;
        reg.WriteFails = true;
        if (before)
            reg.Values["Zorvane"] = Sz(kPath); // written bare by an earlier version
        bool enabled = true;
        EXPECT_THROW(RunEntry(reg.Opener(), "Zorvane", kPath, enabled, true), std::runtime_error);
        EXPECT_EQ(enabled, before) << "the check box shows what the registry holds";
        EXPECT_EQ(reg.Opens, 2);
    }
}
