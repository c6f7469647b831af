// The rule behind every rewrite of the user's keyboard lists, checked on a few
// hundred generated Preload and Substitutes lists (seeded, so a failure comes
// back): every layout the user had is still listed afterwards, with the same
// type and data, and none loads another layout than before, except our own:
// listed once and at 1 after an installation, gone after a removal, also when
// a second layout key names our library or a handle in the lists names a KLID
// without a layout key. A rewritten Substitutes key holds only values that
// Preload uses. A plan that cannot keep this writes nothing. Windows looks
// value names up without regard to case, and so does the model here.
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "product/product.h"
#include "registry/layout_keys.h"
#include "registry/preload_list.h"
#include "tests/support/registry_seed.h"

namespace {

const char ours[] = "b0030407";
const char second[] = "b0040407";   // a second key of our library
const char keyboard_layout[] = "Keyboard Layout";

struct value {
    std::string name;
    DWORD type;
    std::string bytes;
};
using values = std::vector<value>;

enum class action { fresh, installed, removal };

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return text;
}
bool same(const std::string& a, const std::string& b) { return upper(a) == upper(b); }
// REG_SZ data as Windows reads it: up to the first zero.
std::string text_of(const value& v) { return std::string(v.bytes.c_str()); }
value text_value(const std::string& name, const std::string& text)
{
    return {name, REG_SZ, text + std::string(1, '\0')};
}

bool canonical(const std::string& name, long* number)
{
    char* end = nullptr;
    *number = strtol(name.c_str(), &end, 10);
    return !name.empty() && *end == 0 && std::to_string(*number) == name;
}

void write_values(const char* path, const values& list)
{
    delete_key_tree(HKEY_CURRENT_USER, path);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const auto& v : list) {
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, v.name.c_str(), 0, v.type,
                                                reinterpret_cast<const BYTE*>(v.bytes.data()),
                                                static_cast<DWORD>(v.bytes.size())));
    }
    RegCloseKey(key);
}

values read_all(const char* path)
{
    values list;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return list;
    for (DWORD index = 0;; ++index) {
        std::vector<char> name(16384);
        std::vector<char> data(65536);
        DWORD name_size = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, index, name.data(), &name_size, nullptr, &type,
                          reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            break;
        list.push_back({std::string(name.data(), name_size), type, std::string(data.data(), size)});
    }
    RegCloseKey(key);
    return list;
}

// The link of a Preload value: the REG_SZ Substitutes value of its name.
const value* link_of(const value& p, const values& substitutes)
{
    if (p.type != REG_SZ)
        return nullptr;
    for (const auto& s : substitutes) {
        if (s.type == REG_SZ && same(s.name, text_of(p)))
            return &s;
    }
    return nullptr;
}

// What Windows loads for a Preload value; a value that is no text is kept as
// what it is.
std::string layout_of(const value& p, const values& substitutes)
{
    if (p.type != REG_SZ)
        return "raw " + std::to_string(p.type) + ":" + p.bytes;
    const value* link = link_of(p, substitutes);
    return "klid " + (link ? text_of(*link) : text_of(p));
}
// The KLIDs that load our library in this round.
std::vector<std::string> our_klids;
bool is_ours(const std::string& layout)
{
    for (const auto& klid : our_klids) {
        if (same(layout, "klid " + klid))
            return true;
    }
    return false;
}

bool same_value(const value& a, const value& b)
{
    if (a.name != b.name || a.type != b.type)
        return false;
    return a.type == REG_SZ ? text_of(a) == text_of(b) : a.bytes == b.bytes;
}

std::string describe(const values& list)
{
    std::string out;
    for (const auto& v : list) {
        out += " [" + v.name + "]=";
        out += v.type == REG_SZ ? text_of(v).substr(0, 12) : "type " + std::to_string(v.type);
    }
    return out;
}

struct generator {
    std::mt19937 random;
    explicit generator(unsigned seed) : random(seed) {}
    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T> const T& pick(const std::vector<T>& from) { return from[below(static_cast<int>(from.size()))]; }

    std::string handle(int number)
    {
        char text[16];
        snprintf(text, sizeof text, "d%03x0407", number);
        std::string h = text;
        int variant = below(4);
        if (variant == 1)
            h[0] = 'D';
        else if (variant == 2)
            h = upper(h);
        return h;
    }

    value odd_value(const std::string& name)
    {
        switch (below(4)) {
        case 0:
            return {name, REG_DWORD, std::string("\x07\x04\x00\x00", 4)};
        case 1:
            return {name, REG_BINARY, std::string("\x00\x01\xfe", 3)};
        case 2:
            return {name, REG_MULTI_SZ, std::string("00000409\0a0000407\0\0", 19)};
        default:
            return {name, REG_EXPAND_SZ, std::string("00000407\0", 9)};
        }
    }

    void make(action what, values* preload, values* substitutes, bool* no_substitutes_key)
    {
        preload->clear();
        substitutes->clear();
        std::vector<std::string> names;
        auto add_name = [&](const std::string& name) {
            for (const auto& n : names) {
                if (same(n, name))
                    return false;
            }
            names.push_back(name);
            return true;
        };
        int count = chance(4) ? 97 + below(4) : below(9);
        static const std::vector<std::string> odd_names = {"0",  "-3",  "-4",  "01", " 1",
                                                          "abc", "x",  "99", "100", "150", "250"};
        long number = 0;
        std::vector<std::string> handles;
        for (int i = 0; i < count; ++i) {
            std::string name;
            if (count < 90 && chance(25)) {
                name = pick(odd_names);
            } else {
                number += chance(20) ? 2 + below(3) : 1;
                name = std::to_string(number);
            }
            if (!add_name(name))
                continue;
            int kind = below(100);
            if (count >= 90 || kind < 25) {
                static const std::vector<std::string> standard = {"00000407", "00000409",
                                                                  "0000040C", "00000807"};
                preload->push_back(text_value(name, pick(standard)));
            } else if (kind < 35) {
                preload->push_back(text_value(name, chance(50) ? "a0000407" : "00020407"));
            } else if (kind < 42) {
                // On a fresh installation these name a KLID without a key.
                preload->push_back(text_value(name, chance(50) ? ours : chance(50) ? "B0030407" : second));
            } else if (kind < 90) {
                std::string h = handle(1 + below(12));
                handles.push_back(h);
                preload->push_back(text_value(name, h));
            } else {
                preload->push_back(odd_value(name));
            }
        }
        // Substitutes for most handles (in another letter case now and then),
        // some for standard KLIDs, and some that no Preload value uses.
        std::vector<std::string> substitute_names;
        auto add_substitute = [&](const std::string& name, const value& v) {
            for (const auto& n : substitute_names) {
                if (same(n, name))
                    return;
            }
            substitute_names.push_back(name);
            substitutes->push_back(v);
        };
        std::vector<std::string> targets = {"a0000407", "a0010407", "00000409", "00020407"};
        targets.insert(targets.end(), what == action::fresh ? 1 : 2, ours);
        targets.push_back(second);
        for (const auto& h : handles) {
            if (!chance(75))
                continue;
            std::string name = chance(30) ? upper(h) : h;
            if (chance(8))
                add_substitute(name, odd_value(name));
            else
                add_substitute(name, text_value(name, pick(targets)));
        }
        for (const auto& p : *preload) {
            if (p.type == REG_SZ && text_of(p).compare(0, 5, "00000") == 0 && chance(15))
                add_substitute(text_of(p), text_value(text_of(p), pick(targets)));
        }
        for (int extra = below(3); extra > 0; --extra) {
            std::string name = handle(13 + below(3));
            add_substitute(name, text_value(name, pick(targets)));
        }
        // Values the registry layer cannot read: a long name or long data.
        if (chance(4))
            preload->push_back(chance(50) ? text_value(std::string(300, 'n'), "00000409")
                                          : text_value("unlesbar", std::string(300, 'a')));
        if (chance(4))
            substitutes->push_back(text_value("d0ff0407", std::string(300, 'a')));
        *no_substitutes_key = substitutes->empty() && chance(30);
    }
};

class PreloadRule : public ::testing::Test {
protected:
    void SetUp() override { seed_german_windows(); }
    void TearDown() override { remove_german_windows(); }
};

TEST_F(PreloadRule, EveryRewriteKeepsTheUsersLayouts)
{
    generator gen(20261208);
    std::string layout_key = std::string(seed_layouts_path) + "\\" + ours;
    std::string second_key = std::string(seed_layouts_path) + "\\" + second;
    for (int round = 0; round < 300; ++round) {
        action what = static_cast<action>(round % 3);
        values preload, substitutes;
        bool no_substitutes_key = false;
        gen.make(what, &preload, &substitutes, &no_substitutes_key);
        SCOPED_TRACE("round " + std::to_string(round) + ", action " +
                     std::to_string(static_cast<int>(what)) + "\nPreload:" + describe(preload) +
                     "\nSubstitutes:" + (no_substitutes_key ? " <no key>" : describe(substitutes)));

        delete_key_tree(HKEY_LOCAL_MACHINE, layout_key.c_str());
        delete_key_tree(HKEY_LOCAL_MACHINE, second_key.c_str());
        our_klids.clear();
        if (what != action::fresh) {
            seed_layout_key(ours, library_file_name, layout_name, "0c00");
            our_klids.push_back(ours);
            if (gen.chance(30)) {
                seed_layout_key(second, "vezodorQFZ27.dll", layout_name, "0c01");
                our_klids.push_back(second);
            }
        }
        write_values(seed_preload_path, preload);
        if (no_substitutes_key)
            delete_key_tree(HKEY_CURRENT_USER, seed_substitutes_path);
        else
            write_values(seed_substitutes_path, substitutes);
        // What the registry holds, the unreadable values included.
        preload = read_all(seed_preload_path);
        substitutes = read_all(seed_substitutes_path);
        std::string before = snapshot_tree(HKEY_CURRENT_USER, keyboard_layout);

        strcpy(layout_file_name, what == action::removal ? "" : library_search_name);
        strcpy(target_klid, what == action::removal ? ours : "");
        ASSERT_TRUE(layout_scan()) << layout_error_text;
        bool to_front = false;
        bool planned;
        if (what == action::removal) {
            planned = plan_layout_removal();
        } else if (what == action::fresh) {
            ASSERT_EQ(-1, found_index);
            planned = plan_layout_addition(-1);
            if (planned) {
                // A KLID that the lists name already would bring their
                // handles to our layout.
                for (const auto& p : preload)
                    EXPECT_FALSE(p.type == REG_SZ && same(text_of(p), new_klid)) << new_klid;
                for (const auto& v : substitutes)
                    EXPECT_FALSE(same(v.name, new_klid) || (v.type == REG_SZ && same(text_of(v), new_klid)))
                        << new_klid;
                our_klids.push_back(new_klid);
            }
        } else {
            ASSERT_NE(-1, found_index);
            bool listed = false;
            std::string found = layout_entries[found_index].klid;
            for (const auto& p : preload)
                listed |= p.type == REG_SZ && same(text_of(p), found);
            for (const auto& v : substitutes)
                listed |= v.type == REG_SZ && same(text_of(v), found);
            EXPECT_EQ(listed, found_in_preload);
            strcpy(target_klid, found.c_str());
            to_front = found_in_preload;
            planned = to_front ? plan_layout_to_front() : plan_layout_addition(found_index);
        }
        bool written = planned && write_preload_lists();

        values kept;   // the user's Preload values that stay
        for (const auto& p : preload) {
            if (what != action::removal || !is_ours(layout_of(p, substitutes)))
                kept.push_back(p);
        }
        bool unreadable = false;
        for (const auto& v : preload)
            unreadable |= v.name.size() >= 260 || v.bytes.size() > 260;
        for (const auto& v : substitutes)
            unreadable |= v.name.size() >= 260 || v.bytes.size() > 260;
        if (!written) {
            // Refused: only for a reason the user is told, and nothing written.
            bool full = what != action::removal &&
                        (preload.size() >= 100 || substitutes.size() + preload.size() >= 100);
            bool nothing_left = what == action::removal && kept.empty();
            EXPECT_TRUE(unreadable || full || nothing_left) << "refused: " << layout_error_text;
            EXPECT_NE('\0', layout_error_text[0]);
            EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, keyboard_layout));
            continue;
        }
        values after_preload = read_all(seed_preload_path);
        values after_substitutes = read_all(seed_substitutes_path);
        if (!preload_rewritten) {
            // Nothing written, or (a removal) nothing of Preload.
            EXPECT_EQ(before, snapshot_tree(HKEY_CURRENT_USER, keyboard_layout));
        } else {
            EXPECT_EQ(newpreloadcount, static_cast<int>(after_preload.size()))
                << "a planned name twice";
        }

        // The user's layouts, each as often as before; ours once, at 1, after
        // an installation, and nowhere after a removal.
        std::vector<std::string> expected, actual;
        for (const auto& p : kept) {
            std::string layout = layout_of(p, substitutes);
            if (!is_ours(layout))
                expected.push_back(layout);
        }
        std::vector<std::string> ours_at;
        for (const auto& p : after_preload) {
            std::string layout = layout_of(p, after_substitutes);
            if (is_ours(layout))
                ours_at.push_back(p.name);
            else
                actual.push_back(layout);
        }
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        EXPECT_EQ(expected, actual);
        if (what == action::removal) {
            EXPECT_TRUE(ours_at.empty()) << "ours at " << ours_at.front();
            if (preload_rewritten) {
                // Positions 1 to n.
                std::vector<bool> taken(after_preload.size());
                for (const auto& p : after_preload) {
                    long n;
                    ASSERT_TRUE(canonical(p.name, &n) && n >= 1 &&
                                n <= static_cast<long>(taken.size()) && !taken[n - 1])
                        << "name " << p.name;
                    taken[n - 1] = true;
                }
            }
        } else {
            ASSERT_EQ(1u, ours_at.size()) << "Preload:" << describe(after_preload);
            if (preload_rewritten)
                EXPECT_EQ("1", ours_at.front());
        }

        // Substitutes: untouched by a move to the front; a rewritten key holds
        // only what Preload uses.
        if (to_front && substitutes_kept) {
            ASSERT_EQ(substitutes.size(), after_substitutes.size());
            for (size_t i = 0; i < substitutes.size(); ++i)
                EXPECT_TRUE(same_value(substitutes[i], after_substitutes[i])) << substitutes[i].name;
            continue;
        }
        if (!preload_rewritten)
            continue;
        for (const auto& a : after_substitutes) {
            bool linked = false;
            for (const auto& p : after_preload)
                linked |= p.type == REG_SZ && a.type == REG_SZ && same(text_of(p), a.name);
            EXPECT_TRUE(linked) << "unused Substitutes value " << a.name;
        }
    }
}

}  // namespace
