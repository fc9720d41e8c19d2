#pragma once
// The candidate bar at the top of an on-screen keyboard in pinyin mode: the composition
// on a thin line, and below it the candidates side by side, as many as fit; the finger
// slides the row sideways for more, and a tap on a candidate chooses it.
//
// Lives on its keyboard window's thread; the composer belongs to the keyboard's pad.

#include "toolkit/PinyinComposer.h"
#include "toolkit/UiWin.h"

#include <functional>
#include <vector>

class CandidateBar : public UiWin {
public:
    static constexpr int Height = 52;

    void SetComposer(const PinyinComposer* composer) { m_composer = composer; }
    // Told the index of a candidate the finger chose.
    void SetChooseAction(std::function<void(std::size_t)> choose) { m_choose = std::move(choose); }
    // The composer changed: the row starts at its first candidate again.
    void Changed();

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonDown(UINT flags, int x, int y) override;
    void OnLButtonDblClk(UINT flags, int x, int y) override;
    void OnMouseMove(UINT flags, int x, int y) override;
    void OnLButtonUp(UINT flags, int x, int y) override;

    // Where each candidate lies, in control co-ordinates with the row's scrolling
    // applied, as last laid out.
    std::vector<RECT> CandidateCells() const;
    int Scroll() const { return m_scroll; }

private:
    void LayOut(HDC dc);
    int ContentWidth() const { return m_cells.empty() ? 0 : m_cells.back().right; }

    const PinyinComposer* m_composer = nullptr;
    std::function<void(std::size_t)> m_choose;
    std::vector<RECT> m_cells; // unscrolled
    bool m_laidOut = false;
    int m_scroll = 0;
    int m_downX = 0;
    int m_downScroll = 0;
    bool m_sliding = false;
};
