#!/usr/bin/env python3
"""Writes the small glTF files of tests/data/synthetic and tests/data/bad.

Run it from anywhere; it rewrites the files in place. Every file is self-contained (buffers as
base64 data URIs) unless its point is a missing or broken external buffer.
"""
import base64
import copy
import json
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def data_uri(raw):
    return "data:application/octet-stream;base64," + base64.b64encode(raw).decode()


def floats(values):
    return struct.pack("<%df" % len(values), *values)


class Doc:
    """A glTF document with one buffer assembled from appended float arrays."""

    def __init__(self):
        self.blob = bytearray()
        self.gltf = {
            "asset": {"version": "2.0", "generator": "Tarvel test data"},
            "scene": 0,
            "scenes": [{"nodes": []}],
            "nodes": [],
            "buffers": [],
            "bufferViews": [],
            "accessors": [],
        }

    def node(self, name, parent=None, **extra):
        node = {"name": name} if name is not None else {}
        node.update(extra)
        self.gltf["nodes"].append(node)
        index = len(self.gltf["nodes"]) - 1
        if parent is None:
            self.gltf["scenes"][0]["nodes"].append(index)
        else:
            self.gltf["nodes"][parent].setdefault("children", []).append(index)
        return index

    def accessor(self, values, type_, bounds=False):
        while len(self.blob) % 4:
            self.blob.append(0)
        raw = floats(values)
        self.gltf["bufferViews"].append({"buffer": 0, "byteOffset": len(self.blob), "byteLength": len(raw)})
        self.blob += raw
        n = {"SCALAR": 1, "VEC3": 3, "VEC4": 4}[type_]
        acc = {"bufferView": len(self.gltf["bufferViews"]) - 1, "componentType": 5126,
               "count": len(values) // n, "type": type_}
        if bounds:
            acc["min"] = [min(values[i::n]) for i in range(n)]
            acc["max"] = [max(values[i::n]) for i in range(n)]
        self.gltf["accessors"].append(acc)
        return len(self.gltf["accessors"]) - 1

    def animate(self, node, path, times, values, interpolation="LINEAR", name="Anim"):
        if "animations" not in self.gltf:
            self.gltf["animations"] = [{"name": name, "samplers": [], "channels": []}]
        anim = self.gltf["animations"][0]
        type_ = "VEC4" if path == "rotation" else ("SCALAR" if path == "weights" else "VEC3")
        sampler = {"input": self.accessor(times, "SCALAR", True),
                   "output": self.accessor(values, type_), "interpolation": interpolation}
        anim["samplers"].append(sampler)
        anim["channels"].append({"sampler": len(anim["samplers"]) - 1, "target": {"node": node, "path": path}})

    def finish(self):
        doc = copy.deepcopy(self.gltf)
        doc["buffers"] = [{"byteLength": len(self.blob), "uri": data_uri(bytes(self.blob))}]
        return doc


def finish_external(doc, uri):
    """The document with its buffer in a file of its own under `uri`, and that file's bytes."""
    out = copy.deepcopy(doc.gltf)
    out["buffers"] = [{"byteLength": len(doc.blob), "uri": uri}]
    return out, bytes(doc.blob)


def glb(doc):
    """The document as one binary glTF file, its buffer in the BIN chunk."""
    out = copy.deepcopy(doc.gltf)
    blob = bytes(doc.blob) + b"\0" * (-len(doc.blob) % 4)
    out["buffers"] = [{"byteLength": len(doc.blob)}]
    text = json.dumps(out).encode()
    text += b" " * (-len(text) % 4)
    chunks = struct.pack("<II", len(text), 0x4E4F534A) + text + struct.pack("<II", len(blob), 0x004E4942) + blob
    return struct.pack("<4sII", b"glTF", 2, 12 + len(chunks)) + chunks


def write(folder, name, doc):
    with open(os.path.join(HERE, folder, name), "w") as f:
        if isinstance(doc, str):
            f.write(doc)
        else:
            json.dump(doc, f, indent=1)


def quat_x(deg):
    h = math.radians(deg) / 2
    return [math.sin(h), 0.0, 0.0, math.cos(h)]


def base_doc():
    d = Doc()
    root = d.node("Root")
    arm = d.node("Arm", root, translation=[0.0, 1.0, 0.0])
    d.animate(root, "translation", [0, 5 / 60, 12 / 60], [0, 0, 0, 1, 2, 3, 4, 5, 6])
    d.animate(arm, "rotation", [0, 5 / 60, 12 / 60], quat_x(0) + quat_x(45) + quat_x(90))
    return d


def synthetic():
    write("synthetic", "whole_frames.gltf", base_doc().finish())
    with open(os.path.join(HERE, "synthetic", "whole_frames.glb"), "wb") as f:
        f.write(glb(base_doc()))
    external, blob = finish_external(base_doc(), "external.bin")
    write("synthetic", "external.gltf", external)
    with open(os.path.join(HERE, "synthetic", "external.bin"), "wb") as f:
        f.write(blob)

    d = Doc()
    n = d.node("Box")
    d.animate(n, "translation", [0.0, 0.1], [0, 0, 0, 6, 0, 0], "STEP")
    write("synthetic", "step.gltf", d.finish())

    d = Doc()
    n = d.node("Box")
    # in-tangent, value, out-tangent per key; zero tangents make a smoothstep from 0 to 6.
    d.animate(n, "translation", [0.0, 0.1], [0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0, 0, 0, 6, 0, 0, 0, 0, 0], "CUBICSPLINE")
    # The editor's tangent types, a letter per key and axis: the first key Flat, the second Linear.
    d.gltf["animations"][0]["samplers"][0]["extras"] = {"tarvelTangentTypes": "fffl" + "ll"}
    write("synthetic", "cubic.gltf", d.finish())

    d = Doc()
    hips = d.node("Hips", extras={"tag": "Player"})
    d.node("Mesh", mesh=0)
    d.animate(hips, "translation", [0, 1 / 60], [0, 0, 0, 1, 1, 1])
    positions = d.accessor([0, 0, 0, 1, 0, 0, 0, 1, 0], "VEC3", True)
    ibm = d.accessor([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1], "SCALAR")
    d.gltf["accessors"][ibm].update({"type": "MAT4", "count": 1})
    d.gltf["meshes"] = [{"name": "Triangle", "primitives": [{"attributes": {"POSITION": positions}, "material": 0}],
                         "extras": {"note": "kept"}}]
    d.gltf["materials"] = [{"name": "Red", "pbrMetallicRoughness": {"baseColorFactor": [1, 0, 0, 1]}}]
    d.gltf["skins"] = [{"joints": [hips], "inverseBindMatrices": ibm}]
    d.gltf["extras"] = {"project": "tarvel tests"}
    write("synthetic", "with_mesh.gltf", d.finish())


def bad():
    notes = []

    def emit(name, doc, why):
        write("bad", name, doc)
        notes.append("- `%s`: %s" % (name, why))

    good = base_doc().finish()
    text = json.dumps(good)
    emit("truncated.gltf", text[: len(text) // 2], "the JSON text stops half-way")
    emit("not_json.gltf", "this is not a glTF file\n", "plain text, not JSON")

    d = copy.deepcopy(good)
    d["buffers"][0] = {"byteLength": 100, "uri": "does_not_exist.bin"}
    emit("missing_buffer.gltf", d, "its buffer file does not exist")

    d = copy.deepcopy(good)
    d["bufferViews"][1]["byteLength"] = 100000
    emit("view_past_buffer.gltf", d, "a buffer view runs far past the end of its buffer")

    d = copy.deepcopy(good)
    d["accessors"][3]["type"] = "VEC3"
    emit("rotation_as_vec3.gltf", d, "a rotation sampler's output is VEC3 instead of VEC4")

    d = copy.deepcopy(good)
    d["accessors"][1]["count"] = 2
    emit("count_mismatch.gltf", d, "a sampler has 3 key times but only 2 output values")

    d = copy.deepcopy(good)
    d["accessors"][0]["count"] = 2147483647
    emit("absurd_count.gltf", d, "an accessor claims 2^31 - 1 elements")

    d = copy.deepcopy(good)
    d["accessors"][1]["byteOffset"] = 32
    emit("accessor_past_view.gltf", d, "an accessor's byte offset pushes it past the end of its view")

    def with_times(times):
        doc = Doc()
        n = doc.node("Box")
        doc.animate(n, "translation", times, [0, 0, 0, 1, 1, 1, 2, 2, 2])
        finished = doc.finish()
        # Bounds stay plain JSON numbers even when a time is not finite.
        finished["accessors"][0]["min"] = [0.0]
        finished["accessors"][0]["max"] = [1.0]
        return finished

    emit("times_not_increasing.gltf", with_times([0.0, 0.5, 0.25]), "key times go backwards")
    emit("negative_time.gltf", with_times([-1.0, 0.5, 1.0]), "a key time is negative")
    emit("infinite_time.gltf", with_times([0.0, 0.5, float("inf")]), "a key time is infinite")

    doc = Doc()
    n = doc.node("Box")
    doc.animate(n, "translation", [0.0, 0.5], [0, 0, 0, float("nan"), 1, 1])
    emit("nan_value.gltf", doc.finish(), "a translation value is NaN")

    d = copy.deepcopy(good)
    d["animations"][0]["channels"][0]["target"]["node"] = 42
    emit("missing_node.gltf", d, "an animation channel targets node 42 of a file with 2 nodes")

    d = copy.deepcopy(good)
    d["animations"][0]["channels"][1]["sampler"] = 7
    emit("missing_sampler.gltf", d, "an animation channel uses sampler 7 of 2")

    d = copy.deepcopy(good)
    d["animations"][0]["samplers"][0]["interpolation"] = "BOUNCY"
    emit("unknown_interpolation.gltf", d, "a sampler names an interpolation glTF does not have")

    d = copy.deepcopy(good)
    d["accessors"][1]["componentType"] = 5125
    emit("integer_translation.gltf", d, "translation values stored as unsigned 32-bit integers")

    found = [
        "- `fuzz-far-frame.glb`: a translation key at 3276.8 s, frame 196,608; the float of its"
        " time misses the frame by 0.003 frames, so the saved copy was sampled again on"
        " reopening and its keys moved (its nameless node's rotation track, whose times the"
        " fuzzer broke, taken out once such nodes became channels)",
        "- `fuzz-joint-name-not-utf8.bvh`: the start of the captured take with a joint named"
        " `RThum` and a byte 0x90, which is not UTF-8; the saved glTF named it otherwise",
        "- `fuzz-empty-view.gltf`: its only buffer view holds no bytes; once the animation data"
        " left, the saved buffer was empty and the copy did not open",
        "- `fuzz-joint-name-with-nul.bvh`: a joint named `RightF`, three NUL bytes and more; the"
        " saved glTF named the channel otherwise",
        "- `fuzz-empty-first-animation.gltf`: its first animation has no channels and a later one"
        " has; the save dropped the empty one, and the copy opened the later one as the clip",
        "- `fuzz-channel-without-node.gltf`: a rotation channel whose target names no node and no"
        " extension; once channels of extensions' targets were kept, its save was refused",
        "- `fuzz-animations-twice.gltf`: two `animations` keys; the listing of its clips counted both"
        " arrays where the reader keeps the last",
        "- `fuzz-weights-sampled.gltf`: the Blender file of three actions, bent: its morph-target"
        " weights fit no frame rate and were sampled, past the four values the sampler's buffers held",
        "- `fuzz-buffer-without-uri.gltf`: its only buffer has no URI (the key reads \"b\"), so no file holds its"
        " bytes; the copy saved as `.glb` wrote it without a binary chunk, and the reader took buffer 0 for the"
        " missing chunk",
    ]
    with open(os.path.join(HERE, "bad", "README.md"), "w") as f:
        f.write("# Malformed clip files\n\nEach is refused with a logged message; none may crash "
                "the reader or change a file. Written by `../make_test_files.py`.\n\n")
        f.write("\n".join(notes) + "\n")
        f.write("\n## Found by the fuzzer\n\nInputs on which `scripts/fuzz` failed, kept as they were found."
                " At least one clip of each opens; every clip that opens, saved and reopened, must give the same keys.\n\n")
        f.write("\n".join(found) + "\n")


if __name__ == "__main__":
    synthetic()
    bad()
