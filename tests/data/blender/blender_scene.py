# What the scripts that build Blender test files share: where they write, an empty scene at
# 24 frames/s, keying a property, and exporting keys as authored.
import os
import sys

import bpy


def output_folder():
    argv = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    return argv[0] if argv else os.path.dirname(os.path.abspath(__file__))


def empty_scene(last_frame):
    bpy.ops.object.select_all(action="SELECT")
    bpy.ops.object.delete()
    scene = bpy.context.scene
    scene.render.fps = 24
    scene.render.fps_base = 1.0
    scene.frame_start = 1
    scene.frame_end = last_frame
    return scene


def key(target, path, frame, value):
    setattr(target, path, value)
    target.keyframe_insert(data_path=path, frame=frame)


def export_as_authored(path, **options):
    bpy.ops.export_scene.gltf(
        filepath=path,
        export_format="GLTF_SEPARATE",
        export_animations=True,
        # Keys as authored: sampling would replace them with one key per frame.
        export_force_sampling=False,
        export_frame_range=False,
        export_optimize_animation_size=False,
        export_current_frame=False,
        **options,
    )
