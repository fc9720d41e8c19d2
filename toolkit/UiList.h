#pragma once
// A vertical list of rows that follows the finger (UiScroller.h). Each row has a text
// and one data word; the program's own lists draw their rows and act on a tap by
// overriding DrawItem and OnItemClick. A tap on a row (released without moving the
// content, and not the press that stopped a fling) selects it and calls OnItemClick.
//
// Controls belong to the thread of their host window; nothing here is locked.

#include "toolkit/ToolkitString.h"
#include "toolkit/UiScroller.h"

#include <cstdint>
#include <vector>

struct UiListItem {
    ToolkitString text;
    std::uintptr_t data = 0;
};

class UiList : public UiScroller {
public:
    UiList();
    // Controls laid over a row (a disabled mark, a button) hand a drag over to the list.
    bool IsScrollContainer() const override { return true; }

    // Returns the new row's index.
    int AddItem(const wchar_t* text, std::uintptr_t data = 0);
    void RemoveItem(int index);
    void RemoveAll();
    // Null for an index outside the rows.
    const UiListItem* GetItem(int index) const;
    int GetSelectedIndex() const { return m_selected; }
    // -1 clears; an index not below the count is ignored.
    void SetSelectedIndex(int index);
    void SetItemHeight(int height);
    void SetDrawSelection(bool draw) { m_drawSelection = draw; }
    // How far a row's text keeps from the row's left and right edges (25 and 25).
    void SetTextInsets(int left, int right) {
        m_textLeft = left;
        m_textRight = right;
    }
    // Off: every row has the item height; on: GetItemHeight is asked for each row.
    void SetVariableHeight(bool variable) { m_variableHeight = variable; }

    void PaintWin(HDC dc, const RECT& rect) override;
    void OnLButtonUp(UINT flags, int x, int y) override;
    int GetContentHeight() const override;

    // The selected row's frame and then its text, inset as SetTextInsets says.
    virtual void DrawItem(HDC dc, int index, const RECT& rect);
    virtual void OnItemClick(int) {}
    virtual int GetItemCount() const { return static_cast<int>(m_items.size()); }
    virtual int GetItemHeight(int) const { return m_itemHeight; }
    // The top of the row relative to the view; negative indices count upwards.
    virtual int GetItemPos(int index) const;
    // The row's rectangle inside `viewRect` (the list's rectangle); false for a row
    // outside the list or without an output rectangle.
    virtual bool GetItemRect(int index, const RECT& viewRect, RECT* outRect) const;
    // The row covering `y` (control co-ordinates), or -1; the header covers none.
    virtual int HitTestItem(int y) const;
    virtual void Refresh();
    // The finger drags the rows, or they still glide (or the press only stopped them):
    // what the finger does now is no choice of a row.
    bool IsMoving() const;

    // The selection frame, for rows drawn by the program's own lists as well.
    static void DrawSelection(HDC dc, const RECT& rect);

protected:
    // A light line along the bottom of an unselected row.
    static void DrawSeparator(HDC dc, const RECT& rect);
    void DrawItemText(HDC dc, int index, const RECT& rect) const;

private:
    bool IsTap(int x, int y) const;
    // The first row whose bottom lies below `y` (control co-ordinates), with its top.
    int FirstRowBelow(int y, int* rowTop) const;

    std::vector<UiListItem> m_items;
    int m_selected = -1;
    int m_itemHeight = 70;
    bool m_drawSelection = true;
    int m_textLeft = 25;
    int m_textRight = 25;
    bool m_variableHeight = false;
};
