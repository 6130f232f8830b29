# Builds a scene with three actions on NLA tracks and exports them as three glTF animations:
# Idle (Bezier keys), Walk (LINEAR and CONSTANT keys on one object, Bezier on another),
# Blink (shape-key values, exported as a morph-target weights channel).
# Run: blender --background --factory-startup --python tests/data/blender/make_animations.py -- OUTDIR
import math
import os
import sys

import bpy
from mathutils import Euler, Quaternion

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from blender_scene import empty_scene, export_as_authored, key, output_folder  # noqa: E402

outdir = output_folder()
scene = empty_scene(25)


def start_action(owner, name):
    # keyframe_insert writes into the active action, so make a fresh one active first.
    owner.animation_data_create()
    action = bpy.data.actions.new(name)
    owner.animation_data.action = action
    return action


def set_interpolation(action, data_path, mode):
    for fc in action.fcurves:
        if fc.data_path == data_path:
            for kp in fc.keyframe_points:
                kp.interpolation = mode
            fc.update()


def push_to_track(owner, track_name):
    # The exporter gives each named NLA track one glTF animation and merges tracks
    # of the same name across objects; the active action is cleared so that it
    # is not exported a second time outside any track.
    action = owner.animation_data.action
    track = owner.animation_data.nla_tracks.new()
    track.name = track_name
    track.strips.new(action.name, int(action.frame_range[0]), action)
    owner.animation_data.action = None


# Empties keep the file small: no mesh buffers, only animation data.
body = bpy.data.objects.new("Body", None)
scene.collection.objects.link(body)
body.rotation_mode = "QUATERNION"

arm = bpy.data.objects.new("Arm", None)
scene.collection.objects.link(arm)
arm.location = (0.0, 0.0, 2.0)
arm.rotation_mode = "XYZ"

quarter = math.radians(90.0)
turn_z = Quaternion((0.0, 0.0, 1.0), quarter)
# A turn about another axis, so the last key mixes all four components.
turn_zx = Quaternion((1.0, 0.0, 0.0), math.radians(30.0)) @ turn_z

# Idle: Bezier keys only, so both channels become CUBICSPLINE.
start_action(body, "Idle")
for frame, loc, rot in [
    (1, (0.0, 0.0, 0.0), Quaternion()),
    # x rises through the middle key, so its tangent there is not clamped flat.
    (12, (0.25, 0.0, 0.25), turn_z),
    (24, (0.5, 0.0, 0.0), turn_zx),
]:
    key(body, "location", frame, loc)
    key(body, "rotation_quaternion", frame, rot)
idle = body.animation_data.action
push_to_track(body, "Idle")

# Walk on Body: location keys LINEAR, scale keys CONSTANT (glTF STEP), on different frames.
start_action(body, "Walk")
for frame, loc in [
    (1, (0.0, 0.0, 0.0)),
    (7, (1.0, 0.0, 0.5)),
    (13, (2.0, 0.0, 0.0)),
    (19, (3.0, 0.0, 0.5)),
    (25, (4.0, 0.0, 0.0)),
]:
    key(body, "location", frame, loc)
for frame, scale in [(1, (1.0, 1.0, 1.0)), (13, (1.0, 1.0, 0.8)), (25, (1.0, 1.0, 1.0))]:
    key(body, "scale", frame, scale)
walk = body.animation_data.action
set_interpolation(walk, "location", "LINEAR")
set_interpolation(walk, "scale", "CONSTANT")
push_to_track(body, "Walk")

# Walk on Arm: its own action (an action is per object), on a track also named
# Walk so the exporter merges it into the same glTF animation.
start_action(arm, "Walk_Arm")
for frame, degrees in [(1, (30.0, 0.0, 0.0)), (13, (-30.0, 0.0, 10.0)), (25, (30.0, 0.0, 0.0))]:
    key(arm, "rotation_euler", frame, Euler([math.radians(d) for d in degrees], "XYZ"))
walk_arm = arm.animation_data.action
push_to_track(arm, "Walk")

# Face: a one-quad mesh keeps the buffers tiny; shape keys become morph targets.
mesh = bpy.data.meshes.new("Face")
mesh.from_pydata(
    [(-1.0, -1.0, 0.0), (1.0, -1.0, 0.0), (1.0, 1.0, 0.0), (-1.0, 1.0, 0.0)],
    [],
    [(0, 1, 2, 3)],
)
mesh.update()
face = bpy.data.objects.new("Face", mesh)
scene.collection.objects.link(face)
face.location = (0.0, 3.0, 0.0)

face.shape_key_add(name="Basis", from_mix=False)
blink_key = face.shape_key_add(name="Blink", from_mix=False)
for i in (2, 3):  # top edge closes down
    blink_key.data[i].co.y -= 1.5
smile_key = face.shape_key_add(name="Smile", from_mix=False)
for i in (0, 1):  # bottom corners lift
    smile_key.data[i].co.y += 0.5

# Shape-key values live on the Key datablock, so Blink is a Key action with its own track.
shape_keys = mesh.shape_keys
start_action(shape_keys, "Blink")
for frame, blink, smile in [(1, 0.0, 0.0), (6, 1.0, 0.25), (12, 0.0, 1.0)]:
    key(blink_key, "value", frame, blink)
    key(smile_key, "value", frame, smile)
blink = shape_keys.animation_data.action
push_to_track(shape_keys, "Blink")

# Fail loudly if the insert defaults differ from what the names above promise.
expected = {
    ("Idle", "location"): "BEZIER",
    ("Idle", "rotation_quaternion"): "BEZIER",
    ("Walk", "location"): "LINEAR",
    ("Walk", "scale"): "CONSTANT",
    ("Walk_Arm", "rotation_euler"): "BEZIER",
    ("Blink", 'key_blocks["Blink"].value'): "BEZIER",
    ("Blink", 'key_blocks["Smile"].value'): "BEZIER",
}
for action in (idle, walk, walk_arm, blink):
    for fc in action.fcurves:
        want = expected[(action.name, fc.data_path)]
        for kp in fc.keyframe_points:
            assert kp.interpolation == want, (action.name, fc.data_path)

export_as_authored(
    os.path.join(outdir, "animations.gltf"),
    # One glTF animation per NLA track name (Idle, Walk, Blink).
    export_nla_strips=True,
    export_morph=True,
    # Position deltas are enough; a flat quad would only add zero normal deltas.
    export_morph_normal=False,
)
