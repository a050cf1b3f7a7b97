#pragma once
// Trees of nodes with text, tag and expanded state, levels, siblings, moving and sorting.
// TNxTreeNode is a persistent object; TNxObjectTreeNode is the same node as a component. Both
// share one implementation; the collections own their nodes and free them with the tree.

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/runtime/Exception.h"
#include "platform/runtime/List.h"
#include "platform/runtime/Object.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/Types.h"
#include "platform/windows/Component.h"

namespace NxClasses {

enum TAddPosition { apFirst, apLast };

namespace Detail {

// Node, the concrete node class, derives from TreeNode<Base, Node, Nodes>; Nodes is the
// collection. Base is the platform root the node derives from.
template <class Base, class Node, class Nodes> class TreeNode : public Base {
public:
    template <typename... BaseArgs>
    TreeNode(Nodes* Owner, Node* Parent, BaseArgs&&... args)
        : Base(std::forward<BaseArgs>(args)...), FOwner(Owner), FParent(Parent) {}

    const WideString& GetText() const { return FText; }
    void SetText(const WideString& Value) {
        FText = Value;
        Changed();
    }
    intptr_t GetTag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    bool GetExpanded() const { return FExpanded; }
    void SetExpanded(bool Value) {
        FExpanded = Value;
        Changed();
    }

    // The parent node; nullptr for a top-level node.
    Node* GetParent() const { return FParent && FParent->FParent ? FParent : nullptr; }
    // 0 for a top-level node.
    int GetLevel() const {
        int level = -1; // the hidden root holds the top level
        for (const TreeNode* p = FParent; p; p = p->FParent)
            ++level;
        return level;
    }
    int GetCount() const { return static_cast<int>(FChildren.size()); }
    // Raises EListError for an index out of range.
    Node* GetItem(int Index) const {
        if (Index < 0 || Index >= GetCount()) TList::Error(SListIndexError, Index);
        return FChildren[static_cast<size_t>(Index)].get();
    }
    int GetIndex() const {
        if (!FParent) return -1;
        const auto& siblings = FParent->FChildren;
        for (size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i].get() == this) return static_cast<int>(i);
        return -1;
    }
    Node* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
    Node* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }
    Node* GetNextSibling() const {
        const int i = GetIndex();
        if (i < 0 || i + 1 >= FParent->GetCount()) return nullptr;
        return FParent->FChildren[static_cast<size_t>(i + 1)].get();
    }
    Node* GetPrevSibling() const {
        const int i = GetIndex();
        if (i <= 0) return nullptr;
        return FParent->FChildren[static_cast<size_t>(i - 1)].get();
    }
    bool HasChildren() const { return !FChildren.empty(); }
    // True when node is this node or one of its ancestors.
    bool HasAsParent(const TreeNode* node) const {
        for (const TreeNode* p = this; p; p = p->FParent)
            if (p == node) return true;
        return false;
    }
    // Moves this node (with its children) under Destination (nullptr: the top level), first or
    // last. Moving a node under itself or one of its descendants raises EInvalidOperation.
    void MoveTo(Node* Destination, TAddPosition Position) {
        if (!FOwner || !FParent) return;
        TreeNode* target = Destination ? static_cast<TreeNode*>(Destination) : FOwner->Root();
        if (target->HasAsParent(this)) throw EInvalidOperation("Cannot move a node under itself");
        auto& from = FParent->FChildren;
        const auto it = std::find_if(from.begin(), from.end(), [this](auto& p) { return p.get() == this; });
        std::unique_ptr<Node> self = std::move(*it);
        from.erase(it);
        FParent = static_cast<Node*>(target);
        target->Insert(std::move(self), Position);
        Changed();
    }
    // Sorts the children by text (stable); Recursive also sorts their children.
    void Sort(bool Recursive = false) {
        std::stable_sort(FChildren.begin(), FChildren.end(),
                         [](const auto& a, const auto& b) { return a->FText < b->FText; });
        if (Recursive)
            for (auto& child : FChildren)
                child->Sort(true);
        Changed();
    }

    Nodes* GetNodes() const { return FOwner; }

protected:
    friend Nodes;
    template <class, class, class> friend class TreeNode;
    template <class, class> friend class TreeNodes;

    void Insert(std::unique_ptr<Node> node, TAddPosition Position) {
        if (Position == apFirst)
            FChildren.insert(FChildren.begin(), std::move(node));
        else
            FChildren.push_back(std::move(node));
    }
    void Changed() {
        if (FOwner) FOwner->Changed();
    }

    Nodes* FOwner;
    Node* FParent;
    WideString FText;
    intptr_t FTag = 0;
    bool FExpanded = false;
    std::vector<std::unique_ptr<Node>> FChildren;
};

template <class Node, class Nodes> class TreeNodes {
public:
    // Adds a node under Parent (nullptr: the top level), first or last.
    Node* Add(Node* Parent, const WideString& Text, TAddPosition Position = apLast) {
        Node* target = Parent ? Parent : FRoot.get();
        auto node = std::unique_ptr<Node>(new Node(Self(), target));
        node->FText = Text;
        Node* result = node.get();
        target->Insert(std::move(node), Position);
        Changed();
        return result;
    }
    Node* AddChild(Node* Parent, const WideString& Text) { return Add(Parent, Text, apLast); }
    // Deletes the node and its children; nodes of other trees are ignored.
    void Delete(Node* N) {
        if (!N || !N->FParent || N->FOwner != Self()) return;
        auto& siblings = N->FParent->FChildren;
        siblings.erase(std::find_if(siblings.begin(), siblings.end(), [N](auto& p) { return p.get() == N; }));
        Changed();
    }
    void Clear() {
        FRoot->FChildren.clear();
        Changed();
    }
    // All nodes, at every level.
    int GetCount() const { return CountBelow(FRoot.get()); }
    int GetRootCount() const { return FRoot->GetCount(); }
    Node* GetRootItem(int Index) const { return FRoot->GetItem(Index); }
    Node* GetFirstNode() const { return FRoot->GetFirstChild(); }
    // The node at position Index in depth-first order; EListError when out of range.
    Node* GetItem(int Index) const {
        int rest = Index;
        Node* n = Index < 0 ? nullptr : FindAt(FRoot.get(), rest);
        if (!n) TList::Error(SListIndexError, Index);
        return n;
    }
    void Sort(bool Recursive = true) { FRoot->Sort(Recursive); }

    // Raised after nodes were added, deleted, moved, sorted or changed.
    TNotifyEvent OnChange;

protected:
    explicit TreeNodes(std::unique_ptr<Node> root) : FRoot(std::move(root)) {}
    ~TreeNodes() {
        OnChange = nullptr;
        FRoot->FChildren.clear();
    }

private:
    template <class, class, class> friend class TreeNode;
    Nodes* Self() { return static_cast<Nodes*>(this); }
    Node* Root() const { return FRoot.get(); }
    void Changed() {
        if (OnChange) OnChange(static_cast<Nodes*>(this));
    }
    static int CountBelow(const Node* n) {
        int count = 0;
        for (int i = 0; i < n->GetCount(); ++i)
            count += 1 + CountBelow(n->GetItem(i));
        return count;
    }
    static Node* FindAt(const Node* n, int& index) {
        for (int i = 0; i < n->GetCount(); ++i) {
            Node* child = n->GetItem(i);
            if (index == 0) return child;
            --index;
            if (Node* found = FindAt(child, index)) return found;
        }
        return nullptr;
    }
    std::unique_ptr<Node> FRoot; // hidden node holding the top level
};

} // namespace Detail

class TNxTreeNodes;
class TNxObjectTreeNodes;

class TNxTreeNode : public Detail::TreeNode<TPersistent, TNxTreeNode, TNxTreeNodes> {
public:
    TNxTreeNode(TNxTreeNodes* Owner, TNxTreeNode* Parent) : TreeNode(Owner, Parent) {}
};

class TNxTreeNodes : public TPersistent, public Detail::TreeNodes<TNxTreeNode, TNxTreeNodes> {
public:
    TNxTreeNodes() : TreeNodes(std::make_unique<TNxTreeNode>(this, nullptr)) {}
};

// A node that is a component (without an owner: the tree frees it).
class TNxObjectTreeNode : public Detail::TreeNode<TComponent, TNxObjectTreeNode, TNxObjectTreeNodes> {
public:
    TNxObjectTreeNode(TNxObjectTreeNodes* Owner, TNxObjectTreeNode* Parent)
        : TreeNode(Owner, Parent, nullptr) {}
};

class TNxObjectTreeNodes : public TObject, public Detail::TreeNodes<TNxObjectTreeNode, TNxObjectTreeNodes> {
public:
    TNxObjectTreeNodes() : TreeNodes(std::make_unique<TNxObjectTreeNode>(this, nullptr)) {}
};

} // namespace NxClasses
